#include "JsonDocument.h"

#include "JsonSyntax.h"
#include "JsonTextCache.h"

#include <cstring>

using namespace JsonSyntax;

namespace JsonSyntax {

void fail(simdjson::error_code error)
{
    switch (error) {
    case simdjson::UTF8_ERROR:
        fail("недопустимый UTF-8");
    case simdjson::UNESCAPED_CHARS:
        fail("управляющий символ в строке");
    case simdjson::UNCLOSED_STRING:
        fail("незакрытая строка");
    case simdjson::STRING_ERROR:
        fail("недопустимая строка или escape-последовательность");
    case simdjson::NUMBER_ERROR:
    case simdjson::NUMBER_OUT_OF_RANGE:
        fail("недопустимое число");
    case simdjson::T_ATOM_ERROR:
    case simdjson::F_ATOM_ERROR:
    case simdjson::N_ATOM_ERROR:
    case simdjson::INCORRECT_TYPE:
        fail("недопустимое значение");
    case simdjson::DEPTH_ERROR:
        fail("слишком глубокая вложенность");
    case simdjson::CAPACITY:
    case simdjson::MEMALLOC:
        fail("слишком большой объём данных");
    default:
        fail("нарушена структура");
    }
}

void fail(const char *reason)
{
    throw DecodingError(DecodingError::Kind::InvalidJson, QString(), QString::fromUtf8(reason));
}

} // namespace JsonSyntax

namespace {

// The parsers and a padded copy of the bytes: the buffers one document needs.
struct Workspace
{
    dom::parser tapeParser;
    dom::document tapeDocument;
    JsonTextCache texts;
    ondemand::parser parser;
    std::unique_ptr<char[]> text;
    std::size_t textCapacity = 0;
};

// One workspace per thread, kept between documents so that its buffers are not allocated afresh
// for every reply; a document made while another holds it gets its own.
thread_local std::unique_ptr<Workspace> spareWorkspace;

// Buffers larger than this go back to the allocator with their document.
constexpr std::size_t keptCapacity = 4 * 1024 * 1024;

// JsonNode reads the tape's words itself, as simdjson 3 lays them out.
static_assert(simdjson::SIMDJSON_VERSION_MAJOR == 3);

// The tape's first word opens the document; its value comes next.
constexpr std::size_t rootIndex = 1;

// The tape and its parser take about fourteen bytes for each byte of JSON, against five for
// reading the bytes: larger documents (far larger than any page of a feed) are read from their
// bytes, which costs a little more time.
constexpr std::size_t tapeLimit = 1024 * 1024;

std::unique_ptr<Workspace> takeWorkspace()
{
    if (spareWorkspace)
        return std::move(spareWorkspace);
    return std::make_unique<Workspace>();
}

} // namespace

struct JsonDocument::Private
{
    std::unique_ptr<Workspace> workspace = takeWorkspace();
    std::size_t length = 0;
    bool onTape = false;
    JsonNode::Tape tape;
    std::size_t tapeEnd = 0;
    ondemand::document document;
    // The top-level value is read as the one element of a wrapping array, so that a scalar at the
    // top goes through the same code as any other value.
    ondemand::array wrapper;
    ondemand::array_iterator position;
    simdjson::error_code indexing = simdjson::SUCCESS;
    bool started = false;
    std::optional<std::optional<DecodingError>> checked;

    ~Private()
    {
        document = ondemand::document();
        workspace->texts.clear();
        if (!spareWorkspace && workspace->parser.capacity() <= keptCapacity &&
            workspace->tapeParser.capacity() <= keptCapacity && workspace->tapeDocument.capacity() <= keptCapacity &&
            workspace->textCapacity <= keptCapacity)
            spareWorkspace = std::move(workspace);
    }
};

JsonDocument::JsonDocument(const QByteArray &bytes, Reading reading) : d(std::make_unique<Private>())
{
    const char *begin = bytes.constData();
    std::size_t size = static_cast<std::size_t>(bytes.size());
    if (size >= 3 && std::memcmp(begin, "\xef\xbb\xbf", 3) == 0) {
        begin += 3;
        size -= 3;
    }
    Workspace &workspace = *d->workspace;
    const std::size_t length = size + 2;
    if (workspace.textCapacity < length + simdjson::SIMDJSON_PADDING) {
        workspace.textCapacity = length + simdjson::SIMDJSON_PADDING;
        workspace.text = std::make_unique<char[]>(workspace.textCapacity);
    }
    char *out = workspace.text.get();
    out[0] = '[';
    std::memcpy(out + 1, begin, size);
    out[size + 1] = ']';
    std::memset(out + length, 0, simdjson::SIMDJSON_PADDING);
    d->length = length;
    if (reading == Reading::Fastest && size <= tapeLimit) {
        dom::parser &tape = workspace.tapeParser;
        const std::size_t capacity = std::max<std::size_t>(size, dom::MINIMAL_DOCUMENT_CAPACITY);
        if (tape.capacity() >= capacity || tape.allocate(capacity, tapeDepth) == simdjson::SUCCESS) {
            dom::document &document = workspace.tapeDocument;
            if (!tape.parse_into_document(document, out + 1, size, false).error()) {
                d->onTape = true;
                // The first word's payload is the index of the last, which closes the document.
                d->tapeEnd = document.tape[0] & 0x00FFFFFFFFFFFFFF;
                d->tape = JsonNode::Tape{document.tape.get(), reinterpret_cast<const char *>(document.string_buf.get()),
                                         &workspace.texts};
                return;
            }
        }
    }
    readBytes();
}

// Whatever the tape refused is read from the bytes, whose reader names the fault as the rules
// above have it.
void JsonDocument::readBytes()
{
    Workspace &workspace = *d->workspace;
    d->onTape = false;
    auto document = workspace.parser.iterate(workspace.text.get(), d->length, workspace.textCapacity);
    d->indexing = document.error();
    if (!d->indexing)
        d->document = std::move(document).value_unsafe();
}

JsonDocument::~JsonDocument() = default;

void JsonDocument::rememberNotJson(const DecodingError &error)
{
    if (!d->checked)
        d->checked.emplace(error);
}

JsonNode JsonDocument::root()
{
    if (d->onTape)
        return JsonNode(&d->tape, rootIndex);
    if (d->indexing)
        fail(d->indexing);
    if (d->checked && *d->checked)
        throw **d->checked;
    if (d->started)
        d->document.rewind();
    d->started = true;
    d->wrapper = get(d->document.get_array());
    d->position = get(d->wrapper.begin());
    if (d->position == get(d->wrapper.end()))
        fail("нет данных");
    return JsonNode(store(get(*d->position)));
}

void JsonDocument::finish()
{
    if (d->onTape)
        return;
    ++d->position;
    if (d->position != get(d->wrapper.end())) {
        get(*d->position);
        fail("лишние данные после значения");
    }
    // A closing bracket too many ends the wrapping array early: whatever follows it is left over.
    if (d->document.current_location().error() != simdjson::OUT_OF_BOUNDS)
        fail("лишние данные после значения");
}

std::optional<DecodingError> JsonDocument::notJson()
{
    if (d->onTape) {
        if (!JsonNode::holdsDoubtfulNumber(d->tape, rootIndex, d->tapeEnd))
            return std::nullopt;
        readBytes();
    }
    if (!d->checked) {
        try {
            JsonNode value = root();
            value.skip();
            finish();
            d->checked.emplace(std::nullopt);
        } catch (const DecodingError &error) {
            rememberNotJson(error);
        }
    }
    return *d->checked;
}
