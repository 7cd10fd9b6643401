#pragma once

#include "VorlaneError.h"

#include <QString>

// A picked file that could not be opened or read, described in Qt's own words.
class FileReadError : public VorlaneError
{
public:
    explicit FileReadError(QString text)
        : m_text(std::move(text))
    {
    }

    QString localizedDescription() const override { return m_text; }

private:
    QString m_text;
};
