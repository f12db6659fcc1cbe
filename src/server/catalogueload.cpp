#include "catalogueload.h"

#include "companyschema.h"
#include "data/articlelist.h"
#include "serverconnection.h"
#include "servertransaction.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int batchSize = 5000;

// The articles of a batch travel as one JSON value; the keys are the column names as the
// server folds them.
const QString upsertBatch = QStringLiteral(R"(
    INSERT INTO ARTICULOS AS A (COD_ART, COD_PROPIO, DESCRIPCION, STK_ACTUAL, P_UNITARIO, FECHA_ACT)
    SELECT L.COD_ART, L.COD_PROPIO, L.DESCRIPCION, L.STK_ACTUAL, L.P_UNITARIO, L.FECHA_ACT
    FROM jsonb_to_recordset(CAST(? AS JSONB)) AS L (COD_ART TEXT, COD_PROPIO TEXT, DESCRIPCION TEXT,
        STK_ACTUAL INTEGER, P_UNITARIO DOUBLE PRECISION, FECHA_ACT DATE)
    ON CONFLICT (COD_ART) DO UPDATE SET COD_PROPIO = EXCLUDED.COD_PROPIO, DESCRIPCION = EXCLUDED.DESCRIPCION,
        STK_ACTUAL = EXCLUDED.STK_ACTUAL, P_UNITARIO = EXCLUDED.P_UNITARIO, FECHA_ACT = EXCLUDED.FECHA_ACT
    WHERE (A.COD_PROPIO, A.DESCRIPCION, A.STK_ACTUAL, A.P_UNITARIO, A.FECHA_ACT)
        IS DISTINCT FROM (EXCLUDED.COD_PROPIO, EXCLUDED.DESCRIPCION, EXCLUDED.STK_ACTUAL, EXCLUDED.P_UNITARIO,
            EXCLUDED.FECHA_ACT))");

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
    ServerTransaction transaction(office);
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
        if (MaybeError error = office.execute(upsertBatch, {json}, &changed))
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
