// The stored layouts of the four windows survive a write and a read.

#include "AppFixture.h"
#include "Streaming.h"

namespace {

using Layouts = ToolWindows;

// Writes the window, reads what was written into a new window of the same
// class and writes that: the two records must agree to the letter.
template <class Form> void ExpectRoundTrip(Form* original, const QString& path) {
    const QByteArray first = WriteComponent(original);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(first);
    file.close();
    Form copy(nullptr, path);
    EXPECT_EQ(WriteComponent(&copy), first) << original->metaObject()->className();
}

TEST_F(Layouts, EveryWindowWritesWhatItReads) {
    CreateToolWindows();
    const QByteArray written = WriteComponent(Form1);
    EXPECT_TRUE(written.contains("<property name=\"OnSignalA\">Mekal1SignalA</property>"));
    EXPECT_TRUE(written.contains(
        "<property name=\"Caption\">     Cihaz Modeli - Bağlantı Durumu   </property>"));
    EXPECT_TRUE(written.contains("<property name=\"PopupMenu\">PopupMenu1</property>"));
    ExpectRoundTrip(Form1, FDir.filePath("Unit1.xml"));
    ExpectRoundTrip(Form2, FDir.filePath("Unit2.xml"));
    ExpectRoundTrip(Form3, FDir.filePath("Unit3.xml"));
    ExpectRoundTrip(HelpForm, FDir.filePath("Unit4.xml"));
}

} // namespace
