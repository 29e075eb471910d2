// The compiled-in artwork and catalogue, and the start-up translation lookup.
#include "dimming/resources/translation_lookup.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTest>
#include <QTranslator>

class ResourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void logoIsRgbaPng()
    {
        QImageReader reader(QStringLiteral(":/ID_BMP_TZ_LOGO"));
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage logo = reader.read();
        QCOMPARE(logo.size(), QSize(300, 78));
        QVERIFY(logo.hasAlphaChannel());
    }

    void iconHoldsFiveSizes()
    {
        QImageReader reader(QStringLiteral(":/IDI_ICON1"));
        QCOMPARE(reader.format(), QByteArray("ico"));
        QList<int> sizes;
        for (int i = 0; i < reader.imageCount(); ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
            QCOMPARE(image.width(), image.height());
            QVERIFY(image.hasAlphaChannel());
            sizes.append(image.width());
        }
        std::sort(sizes.begin(), sizes.end());
        QCOMPARE(sizes, (QList<int> {16, 24, 32, 48, 256}));
    }

    void lookup_data()
    {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<bool>("installed");
        QTest::newRow("en-GB first") << QStringList {"en-GB", "de-DE"} << true;
        QTest::newRow("de-DE then en-GB") << QStringList {"de-DE", "en-GB"} << true;
        QTest::newRow("only en-US") << QStringList {"en-US"} << false;
        QTest::newRow("no languages") << QStringList {} << false;
    }

    void lookup()
    {
        QFETCH(QStringList, languages);
        QFETCH(bool, installed);

        QTranslator translator;
        QCOMPARE(installTranslation(translator, languages), installed);
        if (installed) {
            QCOMPARE(translator.language(), QStringLiteral("en_GB"));
            QCOMPARE(translator.filePath(), QStringLiteral(":/i18n/DimmingControl_en_GB.qm"));
            // The catalogue holds no message, so no text of the program changes.
            QCOMPARE(QCoreApplication::translate("VistrelDimmingDlg", "Get"), QStringLiteral("Get"));
            QVERIFY(QCoreApplication::removeTranslator(&translator));
        } else {
            QVERIFY(translator.isEmpty());
            QVERIFY(translator.filePath().isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(ResourcesTest)
#include "resources_test.moc"
