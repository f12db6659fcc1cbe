#include "deskfixture.h"

#include "startup/startup.h"

DeskFixture::~DeskFixture()
{
    window.reset();
    CierroConexion();
    QTest::qCompare(dialogs.pendingAnswers(), 0, "pendingAnswers", "0", __FILE__, __LINE__);
}

bool DeskFixture::open(const QString &tipoCambioReply)
{
    if (!db.isValid() || AbroConexion(db.folder()))
        return false;
    dialogs.answerInput(tipoCambioReply);
    window = std::make_unique<frmMenu>();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        return false;
    control(QStringLiteral("Check_COD_ART"))->setFocus();
    return dialogs.pendingAnswers() == 0;
}
