#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// Base of every failure the client throws. Screens show localizedDescription(); what() gives the
// same text in UTF-8 for logs and for code that only knows std::exception.
class VorlaneError : public std::exception
{
public:
    virtual QString localizedDescription() const = 0;
    const char *what() const noexcept override;

private:
    // Filled on the first call to what(), so subclasses need not remember to set it.
    mutable QByteArray m_what;
};
