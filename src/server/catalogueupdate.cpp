#include "catalogueupdate.h"

#include "companytables.h"
#include "data/articlebatchwriter.h"
#include "data/connection.h"
#include "data/serversettings.h"
#include "serverconnection.h"
#include "servererrornumber.h"
#include "serverlogin.h"

namespace {

const QString countChanged
    = QStringLiteral(R"(SELECT COUNT(*) AS N, MAX(CAMBIO) AS HASTA FROM ARTICULOS WHERE CAMBIO > ?)");
// Bounded by the highest stamp counted, so that the count stays true while others write.
const QString &selectChanged()
{
    static const QString sql
        = QStringLiteral("SELECT %1 FROM ARTICULOS WHERE CAMBIO > ? AND CAMBIO <= ? ORDER BY CAMBIO LIMIT ?")
              .arg(CompanyTables::articulos().columnNames().join(QStringLiteral(", ")));
    return sql;
}

constexpr int progressEvery = 500;

ArticleRecord articleOf(const RowSet &rows, int row)
{
    return {rows.text(row, QStringLiteral("COD_ART")), rows.text(row, QStringLiteral("COD_PROPIO")),
        rows.text(row, QStringLiteral("DESCRIPCION")), rows.value(row, QStringLiteral("STK_ACTUAL")).toInt(),
        rows.value(row, QStringLiteral("P_UNITARIO")).toDouble(),
        rows.value(row, QStringLiteral("FECHA_ACT")).toDate()};
}

} // namespace

CatalogueUpdate::CatalogueUpdate(ServerConnection &server, Connection &local, Dialogs &dialogs)
    : m_server(server)
    , m_local(local)
    , m_dialogs(dialogs)
{ }

CatalogueUpdate::Result CatalogueUpdate::run()
{
    Result result;
    ServerSettings settings;
    if (MaybeError error = ServerSettings::read(m_local, settings)) {
        result.stoppedBy = error;
        return result;
    }
    RowSet counted;
    if (MaybeError error = m_server.select(countChanged, {settings.catalogueStamp}, counted)) {
        result.stoppedBy = error;
        return result;
    }
    result.total = counted.value(0, QStringLiteral("N")).toInt();
    if (result.total == 0)
        return result;
    const qint64 upTo = counted.value(0, QStringLiteral("HASTA")).toLongLong();

    const StoredRoutines routines(m_local, m_dialogs);
    qint64 from = settings.catalogueStamp;
    while (!result.stoppedBy && !result.cancelled) {
        RowSet page;
        if (MaybeError error = m_server.select(selectChanged(), {from, upTo, m_pageSize}, page)) {
            result.stoppedBy = error;
            break;
        }
        if (page.count() == 0)
            break;

        // An article the user gives up on stops the bring-down before the stamp passes it.
        std::optional<QString> givenUp;
        ArticleBatchWriter::Listener listener;
        listener.givenUp
            = [&](ArticleBatchWriter::Write, int row) { givenUp = page.text(row, QStringLiteral("COD_ART")); };
        listener.sameFailure = [](const DbError &, int) { return true; };
        ArticleBatchWriter writer(routines, listener, m_pageSize);
        qint64 stamp = from;
        int applied = 0;
        for (int row = 0; row < page.count() && !givenUp && !writer.stopped(); ++row) {
            writer.store(articleOf(page, row), row);
            stamp = page.value(row, QStringLiteral("CAMBIO")).toLongLong();
            ++applied;
            if (m_progress && (result.applied + applied) % progressEvery == 0
                && !m_progress(result.applied + applied, result.total)) {
                result.cancelled = true;
                break;
            }
        }
        writer.finish();
        if (givenUp || writer.notStoredCount() > 0) {
            result.stoppedBy = DbError{DbErrorNumber::Generic,
                QStringLiteral("no se pudo guardar el artículo %1 en este equipo.").arg(givenUp.value_or(QString()))};
            break;
        }
        if (MaybeError error = ServerSettings::storeStamp(m_local, stamp)) {
            result.stoppedBy = error;
            break;
        }
        result.applied += applied;
        from = stamp;
    }
    if (m_progress && !result.cancelled && !result.stoppedBy)
        m_progress(result.applied, result.total);
    return result;
}

CatalogueUpdate::Result CatalogueUpdate::bringDown(Connection &local, Dialogs &dialogs, const Progress &progress)
{
    // Nothing is written into a file that is no longer where the program opened it.
    if (MaybeError error = local.checkStillInPlace())
        return {0, 0, false, error};
    ServerSettings settings;
    if (MaybeError error = ServerSettings::read(local, settings))
        return {0, 0, false, error};
    ServerConnection server(QStringLiteral("recorvan-catalogo"));
    if (MaybeError error = ServerLogin::open(server, settings, dialogs))
        return {0, 0, false, error};
    CatalogueUpdate update(server, local, dialogs);
    update.setProgress(progress);
    return update.run();
}

QString CatalogueUpdate::Result::text() const
{
    if (stoppedBy && applied == 0 && total == 0)
        return QStringLiteral("No se pudo traer el catálogo del servidor: %1\nEl catálogo de este equipo quedó como "
                              "estaba.")
            .arg(stoppedBy->description);
    if (total == 0)
        return QStringLiteral("El catálogo ya estaba al día: no hay artículos cambiados en el servidor.");
    if (stoppedBy)
        return QStringLiteral("La actualización del catálogo se interrumpió: %1\nSe trajeron %2 de %3 artículos; la "
                              "próxima vez se seguirá desde ahí.")
            .arg(stoppedBy->description)
            .arg(applied)
            .arg(total);
    if (cancelled)
        return QStringLiteral("Se canceló la actualización del catálogo: se trajeron %1 de %2 artículos; la próxima "
                              "vez se seguirá desde ahí.")
            .arg(applied)
            .arg(total);
    return (applied == 1 ? QStringLiteral("Se trajo 1 artículo del servidor")
                         : QStringLiteral("Se trajeron %1 artículos del servidor").arg(applied))
        + QStringLiteral(": el catálogo está al día.");
}
