#pragma once

#include <QString>

#include <optional>

// A salesperson's code on the company server, by one rule wherever it is typed (the database
// tool, the settings window): blanks around it dropped, 1 to 20 letters A-Z, digits, '-' or '_',
// kept in capitals. Codes are compared without regard to case, so that "v09" and "V09" are one
// salesperson everywhere.
namespace SalespersonCode {

constexpr int maximumLength = 20;

// The code as it is stored, or nullopt with why not (a Spanish sentence) in `refusal`.
std::optional<QString> normalized(const QString &typed, QString *refusal = nullptr);
bool same(const QString &a, const QString &b);
// The login a salesperson gets unless told otherwise: unique within a cluster that holds
// several companies' databases.
QString defaultLogin(const QString &database, const QString &code);

} // namespace SalespersonCode
