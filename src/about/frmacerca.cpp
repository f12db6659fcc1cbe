#include "frmacerca.h"

#include "base/globals.h"
#include "base/version.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSvgRenderer>
#include <QVBoxLayout>

// The pictures live in the about library's resources; a static library needs them named.
static void initAboutResources()
{
    Q_INIT_RESOURCE(about);
}

namespace {

QPixmap pictureOf(const QString &resource, QSize size, qreal ratio)
{
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer svg(resource);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QLabel *picture(QWidget *parent, const QString &name, const QString &resource, QSize size)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(pictureOf(resource, size, parent->devicePixelRatioF()));
    label->setFixedSize(size);
    return label;
}

QLabel *text(QWidget *parent, const QString &name, const QString &caption)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

frmAcerca::frmAcerca(QWidget *parent)
    : QDialog(parent)
{
    initAboutResources();
    setObjectName(QStringLiteral("frmAcerca"));
    setWindowTitle(QStringLiteral("Acerca de %1").arg(productName()));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    imgKelvax = picture(this, QStringLiteral("imgKelvax"), QStringLiteral(":/about/logo.svg"), QSize(72, 72));
    Image1 = picture(this, QStringLiteral("Image1"), QStringLiteral(":/about/pedido.svg"), QSize(48, 48));

    lblProducto = text(this, QStringLiteral("lblProducto"), productLine());
    QFont title = lblProducto->font();
    title.setPointSizeF(title.pointSizeF() * 1.6);
    title.setBold(true);
    lblProducto->setFont(title);
    lblSistema = text(this, QStringLiteral("lblSistema"), QStringLiteral("v0.0.0"));

    auto *caption = text(this, QStringLiteral("lblLicencia"), QStringLiteral("Este producto está autorizado para:"));
    lblEmpresa = text(this, QStringLiteral("lblEmpresa"), QStringLiteral("-"));
    QFont company = lblEmpresa->font();
    company.setBold(true);
    lblEmpresa->setFont(company);
    // The company name is shown as written, never read as markup.
    lblEmpresa->setTextFormat(Qt::PlainText);
    lblEmpresa->setWordWrap(true);
    lblEmpresa->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // Where the database is, so that the user can find it to keep a copy.
    lblBaseDatos = text(this, QStringLiteral("lblBaseDatos"), QStringLiteral("-"));
    lblBaseDatos->setTextFormat(Qt::PlainText);
    lblBaseDatos->setWordWrap(true);
    lblBaseDatos->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto *notice = text(this, QStringLiteral("lblAviso"),
        QStringLiteral("Advertencia: este programa está protegido por las leyes de derechos de autor. "
                       "Su copia o distribución sin autorización está prohibida."));
    notice->setWordWrap(true);
    auto *warranty = text(this, QStringLiteral("lblGarantia"),
        QStringLiteral("El programa se entrega tal como está, sin otras garantías que las que la ley "
                       "establece."));
    warranty->setWordWrap(true);
    for (QLabel *small : {notice, warranty}) {
        QFont font = small->font();
        font.setPointSizeF(font.pointSizeF() * 0.85);
        small->setFont(font);
    }

    cmdAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setDefault(true);
    connect(cmdAceptar, &QPushButton::clicked, this, &QDialog::accept);

    auto *grid = new QGridLayout;
    grid->addWidget(imgKelvax, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblProducto, 0, 1);
    grid->addWidget(lblSistema, 1, 1);
    grid->addWidget(Image1, 0, 2, 2, 1, Qt::AlignTop | Qt::AlignRight);
    grid->addWidget(caption, 3, 1, 1, 2);
    grid->addWidget(lblEmpresa, 4, 1, 1, 2);
    grid->addWidget(lblBaseDatos, 5, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(16);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAceptar);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addWidget(rule);
    layout->addWidget(notice);
    layout->addWidget(warranty);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    Form_Load();
}

void frmAcerca::Form_Load()
{
    lblSistema->setText(QStringLiteral("v%1.%2.%3")
                            .arg(RECORVAN_VERSION_MAJOR)
                            .arg(RECORVAN_VERSION_MINOR)
                            .arg(RECORVAN_VERSION_PATCH));
    lblEmpresa->setText(strEMPRESA);
    lblBaseDatos->setText(QStringLiteral("Base de datos: %1").arg(strRutaBase));
}
