#include "catalogueload.h"

#include "companyschema.h"
#include "data/articlelist.h"
#include "data/tables.h"
#include "data/transaction.h"
#include "serverconnection.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int batchSize = 5000;

// The articles of a batch travel as one JSON value; the keys are the column names as the
// server folds them. A row whose values stay the same is not written, and keeps its stamp.
const QString &upsertBatch()
{
    static const QString sql = [] {
        const TableDefinition &articles = Tables::articulos();
        const QStringList columns = articles.columnNames();
        const QStringList values = columns.mid(1);
        QStringList replaced;
        for (const QString &column : values)
            replaced << QStringLiteral("%1 = EXCLUDED.%1").arg(column);
        return QStringLiteral(R"(INSERT INTO ARTICULOS AS A (%1) SELECT L.%2 FROM jsonb_to_recordset(CAST(? AS JSONB))
                AS L (%3)
            ON CONFLICT (COD_ART) DO UPDATE SET %4 WHERE (A.%5) IS DISTINCT FROM (EXCLUDED.%6))")
            .arg(columns.join(QStringLiteral(", ")), columns.join(QStringLiteral(", L.")),
                articles.typedColumns(columns), replaced.join(QStringLiteral(", ")),
                values.join(QStringLiteral(", A.")), values.join(QStringLiteral(", EXCLUDED.")));
    }();
    return sql;
}

QJsonObject jsonOf(const ArticleRecord &article)
{
    return {{QStringLiteral("cod_art"), article.codArt}, {QStringLiteral("cod_propio"), article.codPropio},
        {QStringLiteral("descripcion"), article.descripcion}, {QStringLiteral("stk_actual"), article.stock},
        {QStringLiteral("p_unitario"), article.pUnitario},
        {QStringLiteral("fecha_act"), article.fecha.toString(Qt::ISODate)}};
}

} // namespace

MaybeError CatalogueLoad::load(ServerConnection &office, ArticleList &list, Outcome &outcome)
{
    outcome = Outcome();
    Transaction transaction(office);
    if (MaybeError error = transaction.begin())
        return error;
    // Taken before any article row, as every writer of the catalogue does.
    if (MaybeError error
        = office.execute(QStringLiteral("SELECT pg_advisory_xact_lock(?)"), {CompanySchema::catalogueLock}))
        return error;

    QJsonArray batch;
    // A code twice in one batch keeps the later record, as a second record replaces the first.
    QHash<QString, qsizetype> inBatch;
    const auto flush = [&]() -> MaybeError {
        if (batch.isEmpty())
            return std::nullopt;
        int changed = 0;
        const QString json = QString::fromUtf8(QJsonDocument(batch).toJson(QJsonDocument::Compact));
        if (MaybeError error = office.execute(upsertBatch(), {json}, &changed))
            return error;
        outcome.changed += changed;
        batch = QJsonArray();
        inBatch.clear();
        return std::nullopt;
    };
    ArticleRecord article;
    int line = 0;
    while (list.next(article, line)) {
        ++outcome.articles;
        const auto known = inBatch.constFind(article.codArt);
        if (known != inBatch.constEnd()) {
            batch.replace(*known, jsonOf(article));
            continue;
        }
        inBatch.insert(article.codArt, batch.size());
        batch.append(jsonOf(article));
        if (batch.size() >= batchSize) {
            if (MaybeError error = flush())
                return error;
        }
    }
    if (MaybeError error = flush())
        return error;
    return transaction.commit();
}
