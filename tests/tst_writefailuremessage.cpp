// The message a sound file that was not written is shown with.

#include "soundjobfixture.h"

#include "app/writefailuremessage.h"
#include "soundfile/soundfilewriter.h"

#include <QTest>

Q_DECLARE_METATYPE(WriteStatus)

class TestWriteFailureMessage : public QObject
{
    Q_OBJECT

private:
    // A job of two loaded layers (slot 1024 each) saved as out.qms.
    static SoundJob twoLayerJob(bool full = false)
    {
        return TestSupport::soundJob(QStringLiteral("/music/out.qms"),
                                     full ? QList<qint64>{3141632, 4096}
                                          : QList<qint64>{1024, 1024});
    }

private slots:
    // The box names the file and says what the writer met, nothing guessed.
    void message_data()
    {
        QTest::addColumn<WriteStatus>("status");
        QTest::addColumn<int>("layer");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("noPath");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("mentions");

        const QString out = QStringLiteral("out.qms");
        QTest::newRow("written") << WriteStatus::Written << 0 << "" << false << false << ""
                                 << QStringList();
        QTest::newRow("dialog cancelled")
            << WriteStatus::CannotCreate << 0 << "no file name was given" << true << false << ""
            << QStringList();
        QTest::newRow("dialog cancelled, over capacity")
            << WriteStatus::OverCapacity << 0 << "" << true << false << "" << QStringList();
        QTest::newRow("cannot create")
            << WriteStatus::CannotCreate << 0 << "it cannot be created in /music: Permission denied"
            << false << true << "File Error" << QStringList{out, "Permission denied"};
        QTest::newRow("over capacity")
            << WriteStatus::OverCapacity << 0 << "" << false << true << "Not enough space!"
            << QStringList{out, "3146240", "3145728"};
        QTest::newRow("disk full")
            << WriteStatus::WriteFailed << 0 << "No space left on device" << false << true
            << "File Error" << QStringList{out, "No space left on device", "unchanged"};
        QTest::newRow("layer 2 unreadable")
            << WriteStatus::LayerUnusable << 2 << "cannot be read: Input/output error" << false
            << true << "File Error"
            << QStringList{out, "layer 2", "/music/layer2.wav", "Input/output error"};
        QTest::newRow("output is layer 2")
            << WriteStatus::OutputIsLayer << 2 << "" << false << true << "File Error"
            << QStringList{out, "layer 2", "/music/layer2.wav"};
        // A value the type does not name (as from a future status).
        QTest::newRow("unknown") << WriteStatus(-99) << 0 << "" << false << true << "Unknown Error"
                                 << QStringList{out};
    }
    void message()
    {
        QFETCH(WriteStatus, status);
        QFETCH(int, layer);
        QFETCH(QString, error);
        QFETCH(bool, noPath);
        QFETCH(bool, shown);
        QFETCH(QString, text);
        QFETCH(QStringList, mentions);

        SoundJob job = twoLayerJob(status == WriteStatus::OverCapacity);
        if (noPath)
            job.FilePath.clear();
        WriteReport report;
        report.Status = status;
        report.Layer = layer;
        report.Error = error;
        const std::optional<WriteFailureMessage> message = WriteFailureMessageFor(report, job);
        QCOMPARE(message.has_value(), shown);
        if (!shown)
            return;
        QCOMPARE(message->box.kind, StatusMessage::Critical);
        QCOMPARE(QString::fromUtf8(message->box.title), QStringLiteral("ERROR"));
        QCOMPARE(QString::fromUtf8(message->box.text), text);
        for (const QString &words : mentions)
            QVERIFY2(message->details.contains(words),
                     qPrintable(message->details + " lacks " + words));
        // The first layer is fine and is not blamed.
        QVERIFY(!message->details.contains(QLatin1String("layer1.wav")));
    }
};

QTEST_GUILESS_MAIN(TestWriteFailureMessage)
#include "tst_writefailuremessage.moc"
