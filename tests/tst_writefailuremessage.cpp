// The message a sound file that was not written is shown with.

#include "testsupport.h"
#include "writefailuremessage.h"

#include "soundfile/soundjob.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestWriteFailureMessage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir files;

    // A job of two loaded layers (1000 sample bytes each, slot 1024) saved as
    // out.qms in the test folder; `change` spoils one layer's file.
    SoundJob twoLayerJob(const QString &change)
    {
        SoundJob job;
        job.FilePath = files.filePath(QStringLiteral("out.qms"));
        job.FileName = QStringLiteral("out.qms");
        job.Count = 2;
        for (int k = 0; k < 2; ++k) {
            job.Names[k] = QStringLiteral("layer%1.wav").arg(k + 1);
            job.Paths[k] = files.filePath(job.Names[k]);
            job.Sizes[k] = 1024;
            TestSupport::writeWave(job.Paths[k], 1000);
        }
        if (change == QLatin1String("second deleted"))
            QFile::remove(job.Paths[1]);
        if (change == QLatin1String("second grown"))
            TestSupport::writeWave(job.Paths[1], 5000);
        if (change == QLatin1String("full")) {
            job.Sizes[0] = 3141632;
            job.Sizes[1] = 4096;
        }
        return job;
    }

private slots:
    void message_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("mentions");

        const QString out = QStringLiteral("out.qms");
        QTest::newRow("written") << 0 << "" << false << "" << QStringList();
        QTest::newRow("dialog cancelled") << -1 << "no path" << false << "" << QStringList();
        QTest::newRow("dialog cancelled, over capacity")
            << -2 << "no path" << false << "" << QStringList();
        QTest::newRow("cannot create")
            << -1 << "" << true << "File Error" << QStringList{out, "folder"};
        QTest::newRow("over capacity") << -2 << "full" << true << "Not enough space!"
                                       << QStringList{out, "3146240", "3145728"};
        QTest::newRow("write failed")
            << -3 << "" << true << "File Error" << QStringList{out, "disk", "unchanged"};
        QTest::newRow("layer deleted")
            << -4 << "second deleted" << true << "File Error" << QStringList{out, "layer2.wav"};
        QTest::newRow("layer grown")
            << -4 << "second grown" << true << "File Error" << QStringList{out, "layer2.wav"};
        QTest::newRow("layer fine again")
            << -4 << "" << true << "File Error" << QStringList{out, "one of the layers"};
        QTest::newRow("output is a layer") << -5 << "" << true << "File Error"
                                           << QStringList{out, "WAV file of one of the layers"};
        QTest::newRow("unknown") << -99 << "" << true << "Unknown Error" << QStringList{out};
    }
    void message()
    {
        QFETCH(int, status);
        QFETCH(QString, change);
        QFETCH(bool, shown);
        QFETCH(QString, text);
        QFETCH(QStringList, mentions);

        SoundJob job = twoLayerJob(change);
        if (change == QLatin1String("no path"))
            job.FilePath.clear();
        const std::optional<WriteFailureMessage> message = WriteFailureMessageFor(status, job);
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
