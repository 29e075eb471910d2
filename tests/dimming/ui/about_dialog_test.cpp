// The about box: version and year in its text, its links, and closing with Enter.
#include "dimming/ui/about_dialog.h"
#include "tests/dimming/ui/modal_box_watcher.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

// Stands in for the desktop's URL handler.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class AboutDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fillsVersionAndYear();
    void routesLinks_data();
    void routesLinks();
    void everyLinkOfTheTextIsRouted();
    void enterCloses();

private:
    UrlCatcher catcher;
};

void AboutDialogTest::init()
{
    catcher.opened.clear();
    // A link without a scheme, such as "qtabout", is looked up under the empty scheme.
    for (const char *scheme : {"", "http", "https", "mailto"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");
}

void AboutDialogTest::cleanup()
{
    for (const char *scheme : {"", "http", "https", "mailto"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

void AboutDialogTest::fillsVersionAndYear()
{
    AboutDialog about;
    const QString text = about.findChild<QLabel *>("labelAbout")->text();

    QVERIFY(text.contains("Vistrel Dimmung Control Application 1.2<"));
    QVERIFY(text.contains(" 2025<"));
    QVERIFY(!text.contains("#VERSION"));
    QVERIFY(!text.contains("#YEAR"));
    QCOMPARE(about.windowTitle(), QString("Dialog"));
    QCOMPARE(about.size(), QSize(810, 244));
    QVERIFY(!about.findChild<QLabel *>("labelTZLogo")->pixmap().isNull());
}

void AboutDialogTest::routesLinks_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("opensQtBox");

    QTest::newRow("Qt link") << "QTAbout" << true;
    QTest::newRow("other case") << "qtabout" << false;
    QTest::newRow("upper case") << "QTABOUT" << false;
    QTest::newRow("web") << "https://www.vistrel.example" << false;
    QTest::newRow("mail") << "mailto:support@vistrel.example" << false;
}

void AboutDialogTest::routesLinks()
{
    QFETCH(QString, link);
    QFETCH(bool, opensQtBox);

    AboutDialog about;
    ModalBoxWatcher watcher;
    emit about.findChild<QLabel *>("labelAbout")->linkActivated(link);

    if (opensQtBox) {
        QCOMPARE(watcher.boxes().size(), 1);
        QCOMPARE(watcher.boxes().front().title, QString("About Qt"));
        QCOMPARE(watcher.boxes().front().parent, &about);
        QVERIFY(catcher.opened.isEmpty());
    } else {
        QVERIFY(watcher.boxes().isEmpty());
        QCOMPARE(catcher.opened, QList<QUrl> {QUrl(link, QUrl::TolerantMode)});
    }
}

void AboutDialogTest::everyLinkOfTheTextIsRouted()
{
    // The label opens nothing by itself: every link reaches the slot.
    AboutDialog about;
    auto *label = about.findChild<QLabel *>("labelAbout");
    QVERIFY(!label->openExternalLinks());

    const QString text = label->text();
    QStringList hrefs;
    for (qsizetype at = text.indexOf("href=\""); at >= 0; at = text.indexOf("href=\"", at + 1)) {
        const qsizetype start = at + 6;
        hrefs.append(text.mid(start, text.indexOf('"', start) - start));
    }
    QCOMPARE(hrefs.count("QTAbout"), 2);
    QCOMPARE(hrefs.size(), 5);

    ModalBoxWatcher watcher;
    for (const QString &href : hrefs)
        emit label->linkActivated(href);
    QCOMPARE(watcher.boxes().size(), 2);
    QCOMPARE(catcher.opened.size(), 3);
}

void AboutDialogTest::enterCloses()
{
    AboutDialog about;
    QVERIFY(about.findChild<QPushButton *>("pushButtonClose")->isDefault());
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QSignalSpy accepted(&about, &QDialog::accepted);

    QTest::keyClick(&about, Qt::Key_Return);

    QCOMPARE(accepted.size(), 1);
    QVERIFY(!about.isVisible());
}

QTEST_MAIN(AboutDialogTest)
#include "about_dialog_test.moc"
