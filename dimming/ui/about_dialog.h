// The program's about box: logo, description with version and year, and its links.
#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class AboutDialog;
}

class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);
    ~AboutDialog() override;

    AboutDialog(const AboutDialog &) = delete;
    AboutDialog &operator=(const AboutDialog &) = delete;

private slots:
    // "QTAbout" opens Qt's own about box; every other link goes to the desktop.
    void qtAboutLinkClicked(QString link);

private:
    Ui::AboutDialog *ui;
};
