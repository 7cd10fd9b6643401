#include "JsonDocument.h"

#include "JsonNumber.h"
#include "JsonSyntax.h"
#include "JsonTextCache.h"
#include "JsonValueCache.h"

#include <charconv>
#include <cstring>

using namespace JsonSyntax;

namespace JsonSyntax {

void fail(simdjson::error_code error)
{
    switch (error) {
    case simdjson::EMPTY:
        fail("нет данных");
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

// The parser, its document and a padded copy of the bytes: the buffers one document needs.
struct Workspace
{
    dom::parser parser;
    dom::document document;
    std::unique_ptr<char[]> text;
    std::size_t textCapacity = 0;
    JsonTextCache texts;
    JsonValueCache values;
    std::vector<std::string_view> numbers;

    // Room for `size` bytes of JSON. A feed grows by a few posts between loads: room to spare
    // spares the next few loads fresh buffers, whose pages the kernel would hand out again.
    simdjson::error_code reserve(std::size_t size)
    {
        const std::size_t wanted = std::max(size + size / 4, std::size_t(64 * 1024));
        if (parser.capacity() < size || parser.max_depth() != maxDepth) {
            if (const auto error = parser.allocate(wanted, maxDepth))
                return error;
        }
        if (document.capacity() < size) {
            if (const auto error = document.allocate(wanted))
                return error;
        }
        return simdjson::SUCCESS;
    }

    // simdjson reads up to SIMDJSON_PADDING bytes past the end of the JSON.
    const char *padded(const char *begin, std::size_t size, std::size_t spare)
    {
        if (spare >= simdjson::SIMDJSON_PADDING)
            return begin;
        if (textCapacity < size + simdjson::SIMDJSON_PADDING) {
            textCapacity = size + size / 4 + simdjson::SIMDJSON_PADDING;
            text = std::make_unique<char[]>(textCapacity);
        }
        std::memcpy(text.get(), begin, size);
        std::memset(text.get() + size, 0, simdjson::SIMDJSON_PADDING);
        return text.get();
    }
};

// One workspace per thread, kept between documents with its buffers, so that a reply pays for
// fresh pages only when it is larger than any before it on its thread; a document made while
// another holds it gets its own.
thread_local std::unique_ptr<Workspace> spareWorkspace;

// Buffers for more JSON than this (about 17,000 of the service's posts) go back to the allocator
// with their document, so that one huge reply does not pin its memory for the thread's life.
constexpr std::size_t keptCapacity = 16 * 1024 * 1024;

std::unique_ptr<Workspace> takeWorkspace()
{
    if (spareWorkspace)
        return std::move(spareWorkspace);
    return std::make_unique<Workspace>();
}

// Whether an integer token is too wide for simdjson, which takes up to 2^64 - 1 and refuses a
// wider one, though JSON has no such limit.
bool tooWideForTheParser(std::string_view token)
{
    if (token.find_first_of(".eE") != std::string_view::npos)
        return false;
    const char *end = token.data() + token.size();
    if (token.front() == '-') {
        qint64 value = 0;
        return std::from_chars(token.data(), end, value).ec == std::errc::result_out_of_range;
    }
    quint64 value = 0;
    return std::from_chars(token.data(), end, value).ec == std::errc::result_out_of_range;
}

} // namespace

struct JsonDocument::Private
{
    // The bytes stay held: the parse may refer to them, and the numbers' written forms do.
    QByteArray bytes;
    std::unique_ptr<Workspace> workspace = takeWorkspace();
    std::string_view json;
    dom::element root;
    simdjson::error_code failure = simdjson::SUCCESS;
    JsonNode::Context context;
    // The JSON as parsed, where integers too wide for the parser were given a fraction.
    std::string widened;

    ~Private()
    {
        workspace->texts.clear();
        workspace->values.clear();
        workspace->numbers.clear();
        if (!spareWorkspace && workspace->parser.capacity() <= keptCapacity)
            spareWorkspace = std::move(workspace);
    }

    void parse(const char *begin, std::size_t size, std::size_t spare)
    {
        Workspace &space = *workspace;
        failure = space.reserve(size);
        if (!failure)
            failure = space.parser.parse_into_document(space.document, space.padded(begin, size, spare), size, false)
                          .get(root);
    }

    // A number is a number whatever its width: each integer too wide for the parser is read as a
    // double instead, by a fraction written after it, and the integer rules read its digits.
    void widenIntegers()
    {
        std::vector<std::string_view> numbers = writtenNumbers(json);
        std::size_t copied = 0;
        for (const std::string_view token : numbers) {
            if (!tooWideForTheParser(token))
                continue;
            const std::size_t end = std::size_t(token.data() - json.data()) + token.size();
            widened.append(json.substr(copied, end - copied)).append(".0");
            copied = end;
        }
        if (widened.empty())
            return;
        widened.append(json.substr(copied));
        parse(widened.data(), widened.size(), widened.capacity() - widened.size());
        workspace->numbers = std::move(numbers);
        context.numbers = &workspace->numbers;
    }
};

JsonDocument::JsonDocument(const QByteArray &bytes) : d(std::make_unique<Private>())
{
    d->bytes = bytes;
    const char *begin = d->bytes.constData();
    std::size_t size = static_cast<std::size_t>(d->bytes.size());
    if (size >= 3 && std::memcmp(begin, "\xef\xbb\xbf", 3) == 0) {
        begin += 3;
        size -= 3;
    }
    d->json = std::string_view(begin, size);
    d->context.texts = &d->workspace->texts;
    d->context.values = &d->workspace->values;
    d->parse(begin, size, static_cast<std::size_t>(d->bytes.data_ptr().freeSpaceAtEnd()));
    if (d->failure == simdjson::NUMBER_ERROR)
        d->widenIntegers();
}

JsonDocument::~JsonDocument() = default;

std::optional<DecodingError> JsonDocument::notJson() const
{
    try {
        root();
    } catch (const DecodingError &error) {
        return error;
    }
    return std::nullopt;
}

JsonNode JsonDocument::root() const
{
    if (d->failure)
        fail(d->failure);
    return JsonNode(store(d->root), &d->context);
}

void JsonDocument::readDigits()
{
    if (d->context.numbers)
        return;
    d->workspace->numbers = writtenNumbers(d->json);
    d->context.numbers = &d->workspace->numbers;
}
