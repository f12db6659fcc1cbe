#pragma once

#include "data/dberror.h"

#include <QFileInfo>
#include <QString>
#include <QtTest>

#include <optional>

namespace TestChecks {

inline QString describe(const DbError &error)
{
    return error.description;
}

inline QString describe(const QString &error)
{
    return error;
}

} // namespace TestChecks

// The expression (a MaybeError or a failure text) holds no error; on failure, its description is shown.
#define QVERIFY_NO_ERROR(expression)                                                                                   \
    do {                                                                                                               \
        const auto error_ = (expression);                                                                              \
        QVERIFY2(error_ == std::nullopt, error_ ? qPrintable(TestChecks::describe(*error_)) : "");                     \
    } while (false)

// The expression holds an error whose description contains the text.
#define QVERIFY_ERROR_CONTAINS(expression, text)                                                                       \
    do {                                                                                                               \
        const auto error_ = (expression);                                                                              \
        QVERIFY2(error_ != std::nullopt, "no error");                                                                  \
        QVERIFY2(TestChecks::describe(*error_).contains(text), qPrintable(TestChecks::describe(*error_)));             \
    } while (false)

// A shared fixture that is missing skips the test on a developer's machine and fails it in CI
// (which sets CI=true).
#define REQUIRE_FIXTURE(path)                                                                                          \
    do {                                                                                                               \
        if (!QFileInfo::exists(path)) {                                                                                \
            if (qEnvironmentVariable("CI") == QLatin1String("true"))                                                   \
                QFAIL(qPrintable(QStringLiteral("The shared fixture is missing: ") + (path)));                         \
            QSKIP("The shared fixture is not there.");                                                                 \
        }                                                                                                              \
    } while (false)
