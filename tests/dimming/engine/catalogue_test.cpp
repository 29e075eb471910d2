// The signal vocabulary: names, streaming, ordering, value records and the lux bands.
#include "dimming/engine/lux_bands.h"
#include "dimming/engine/signal.h"
#include "dimming/engine/signal_value.h"
#include "dimming/engine/working_engine.h"

#include <QBuffer>
#include <QDataStream>
#include <QMetaType>
#include <QTest>

#include <algorithm>
#include <vector>

class CatalogueTest : public QObject
{
    Q_OBJECT

private slots:
    void signalName_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << "EMPTY_";
        QTest::newRow("1") << 1 << "DI_KL_58xd";
        QTest::newRow("3") << 3 << "DI_Display_Nachtdesign";
        QTest::newRow("6") << 6 << "RLS_Vorfeldhelligkeit_Boost";
        QTest::newRow("7") << 7 << "";
        QTest::newRow("-1") << -1 << "";
        QTest::newRow("int min") << std::numeric_limits<int>::min() << "";
    }

    void signalName()
    {
        QFETCH(int, number);
        QFETCH(QString, name);
        QCOMPARE(::signalName(static_cast<Signal>(number)), name);
    }

    void streamRoundTripTakesFourBytes()
    {
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << Signal::RLS_Vorfeldhelligkeit_Boost;
        }
        QCOMPARE(bytes, QByteArray("\x00\x00\x00\x06", 4));

        QDataStream in(bytes);
        Signal read = Signal::EMPTY_;
        in >> read;
        QCOMPARE(read, Signal::RLS_Vorfeldhelligkeit_Boost);
        QCOMPARE(in.status(), QDataStream::Ok);
    }

    void engineEnumerationsStreamAsFourBytes()
    {
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << WorkingEngine::ReceiveFailed << WorkingEngine::SignalUnavailable;
        }
        QCOMPARE(bytes, QByteArray("\x00\x00\x00\x05\x00\x00\x00\x15", 8));
        QDataStream in(bytes);
        WorkingEngine::ErrorCommunication communication {};
        WorkingEngine::ErrorSignal signalError {};
        in >> communication >> signalError;
        QCOMPARE(communication, WorkingEngine::ReceiveFailed);
        QCOMPARE(signalError, WorkingEngine::SignalUnavailable);
    }

    void signalsOrderByNumber()
    {
        std::vector<Signal> signalList {Signal::RLS_Vorfeldhelligkeit_Boost, Signal::DI_KL_58xt, Signal::DI_KL_58xd,
            Signal::LS_Helligkeit_FW, Signal::DI_Display_Nachtdesign, Signal::DI_KL_58xs};
        std::sort(signalList.begin(), signalList.end());
        for (std::size_t i = 0; i < signalList.size(); ++i)
            QCOMPARE(static_cast<int>(signalList[i]), static_cast<int>(i) + 1);
    }

    void metaTypesAreRegisteredByName()
    {
        QCOMPARE(QMetaType::fromName("Signal"), QMetaType::fromType<Signal>());
        QCOMPARE(QMetaType::fromType<Signal>().sizeOf(), 4);
        QCOMPARE(QMetaType::fromName("WorkingEngine::ErrorCommunication"),
            QMetaType::fromType<WorkingEngine::ErrorCommunication>());
        QCOMPARE(QMetaType::fromName("WorkingEngine::ErrorSignal"), QMetaType::fromType<WorkingEngine::ErrorSignal>());
    }

    void signalValueMaking()
    {
        const SignalValue absent;
        QCOMPARE(absent.raw, -1);
        QVERIFY(qIsNaN(absent.physical));
        QVERIFY(absent.textual.isEmpty());

        const SignalValue whole(15);
        QCOMPARE(whole.physical, 15.0);
        QCOMPARE(whole.raw, -1);
        QVERIFY(whole.textual.isEmpty());

        const SignalValue real(1.5);
        QCOMPARE(real.physical, 1.5);
        QCOMPARE(real.raw, -1);

        const SignalValue text(QStringLiteral("Fehler \u00e9"));
        QCOMPARE(text.textual, QByteArray("Fehler \xc3\xa9"));
        QVERIFY(qIsNaN(text.physical));
        QCOMPARE(text.raw, -1);
    }

    void luxBands()
    {
        QCOMPARE(luxBandNames.size(), std::size_t(16));
        QCOMPARE(luxBandNames.front(), QStringLiteral("groesser_24413_Lux"));
        QCOMPARE(luxBandNames[11], QStringLiteral("bis_9412_Lux"));
        QCOMPARE(luxBandNames.back(), QStringLiteral("bis_6428_Lux"));
    }
};

QTEST_GUILESS_MAIN(CatalogueTest)
#include "catalogue_test.moc"
