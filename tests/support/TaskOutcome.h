#pragma once

#include "VorlaneError.h"

#include <QCoroTask>
#include <QString>

#include <exception>
#include <optional>

// The end of a task run to completion in a nested event loop: its value, or what it threw.
// QCoro::waitFor() alone would never return from a task that throws.
template<class T>
struct TaskOutcome
{
    std::optional<T> value;
    std::exception_ptr error;

    // The thrown failure's user-facing text, or empty.
    QString errorText() const
    {
        if (!error)
            return {};
        try {
            std::rethrow_exception(error);
        } catch (const VorlaneError &failure) {
            return failure.localizedDescription();
        } catch (const std::exception &failure) {
            return QString::fromUtf8(failure.what());
        }
    }

    // The thrown failure as E, or nullopt when it is something else (or nothing was thrown).
    template<class E>
    std::optional<E> errorAs() const
    {
        if (!error)
            return std::nullopt;
        try {
            std::rethrow_exception(error);
        } catch (const E &failure) {
            return failure;
        } catch (...) {
            return std::nullopt;
        }
    }
};

namespace TaskOutcomes {

template<class T>
QCoro::Task<TaskOutcome<T>> settle(QCoro::Task<T> task)
{
    TaskOutcome<T> outcome;
    try {
        outcome.value = co_await task;
    } catch (...) {
        outcome.error = std::current_exception();
    }
    co_return outcome;
}

} // namespace TaskOutcomes

template<class T>
TaskOutcome<T> runToEnd(QCoro::Task<T> task)
{
    return QCoro::waitFor(TaskOutcomes::settle(std::move(task)));
}
