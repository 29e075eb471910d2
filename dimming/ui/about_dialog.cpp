#include "dimming/ui/about_dialog.h"

#include "ui_about_dialog.h"

#include "dimming/engine/texts.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AboutDialog)
{
    ui->setupUi(this);

    QString text = ui->labelAbout->text();
    text.replace(QStringLiteral("#VERSION"), appVersion, Qt::CaseSensitive);
    text.replace(QStringLiteral("#YEAR"), appYear, Qt::CaseSensitive);
    ui->labelAbout->setText(text);
}

AboutDialog::~AboutDialog()
{
    delete ui;
}

void AboutDialog::qtAboutLinkClicked(QString link)
{
    if (link.compare(QStringLiteral("QTAbout"), Qt::CaseSensitive) == 0) {
        QMessageBox::aboutQt(this, QString());
        return;
    }
    QDesktopServices::openUrl(QUrl(link, QUrl::TolerantMode));
}
