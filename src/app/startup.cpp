#include "startup.h"

#include "data/connection.h"
#include "data/schema.h"
#include "dialogs.h"
#include "globals.h"
#include "legacyconversion.h"
#include "regional.h"

#include <QApplication>
#include <QDir>

MaybeError AbroConexion(const QString &programFolder)
{
    strRutaBase = QDir::toNativeSeparators(QDir(programFolder).filePath(QStringLiteral("database.mdb")));
    strConexion = Connection::connectionString(strRutaBase);
    Connection &connection = acnDataBase();
    if (MaybeError error = connection.open(Connection::pathFromConnectionString(strConexion)))
        return error;
    if (MaybeError error = Schema::check(connection)) {
        connection.close();
        return error;
    }
    if (MaybeError error = LeoSetup()) {
        connection.close();
        return error;
    }
    return std::nullopt;
}

MaybeError LeoSetup()
{
    RowSet setup;
    if (MaybeError error = acnDataBase().select(QStringLiteral("select * from SETUP;"), {}, setup))
        return error;
    if (setup.count() == 0) {
        // Without the settings row no order number could ever advance.
        return DbError{DbErrorNumber::Generic,
            QStringLiteral("La tabla SETUP no tiene la fila con los datos de la empresa; "
                           "sin ella no se pueden numerar los pedidos.")};
    }
    strEMPRESA = setup.text(0, QStringLiteral("EMPRESA"));
    strRECORVAN = setup.text(0, QStringLiteral("RECORVAN"));
    strULTIMO_PEDIDO = Regional::plainNumber(Regional::leadingNumber(setup.text(0, QStringLiteral("ULTIMO_PEDIDO"))));
    return std::nullopt;
}

void CierroConexion()
{
    acnDataBase().close();
}

int Main(const QString &programFolder, const std::function<QWidget *()> &createWindow)
{
    // An Access file of the older program is offered for conversion before anything opens it.
    const LegacyOutcome legacy = OfrezcoConversion(programFolder);
    if (legacy == LegacyOutcome::Declined || legacy == LegacyOutcome::Failed)
        return 1;
    if (MaybeError error = AbroConexion(programFolder)) {
        Dialogs::current().message(QStringLiteral("No se pudo abrir la base de datos.\n\nError %1: %2")
                                       .arg(error->number)
                                       .arg(error->description),
            QString(), QMessageBox::Critical);
        return 1;
    }
    QWidget *window = createWindow ? createWindow() : nullptr;
    if (!window) {
        CierroConexion();
        return 0;
    }
    window->show();
    return QApplication::exec();
}
