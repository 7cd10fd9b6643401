#pragma once

#include "VorlaneError.h"

// A reply (or a stored record) that does not have the shape the records expect. The path names
// the failing key the way code would reach it, e.g. "data[3].author.id"; an empty path is the
// top-level value.
class DecodingError : public VorlaneError
{
public:
    enum class Kind {
        Missing,      // a required key is not there
        Null,         // a required key holds null
        WrongType,    // a key holds a value of another JSON type
        NotAnObject,  // a record's value is not a JSON object
        UnknownValue, // a string outside the allowed set (an attachment kind)
        InvalidJson,  // the bytes are not JSON at all
    };

    DecodingError(Kind kind, QString path, QString detail = {});

    Kind kind() const { return m_kind; }
    QString path() const { return m_path; }
    // What was expected (for WrongType), the refused value (UnknownValue) or the parser's
    // message (InvalidJson); empty otherwise.
    QString detail() const { return m_detail; }

    QString localizedDescription() const override;

private:
    Kind m_kind;
    QString m_path;
    QString m_detail;
};
