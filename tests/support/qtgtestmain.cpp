// Runs a widget test program's GoogleTest cases inside a QApplication on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

namespace {
// The offscreen platform reports every window it cannot size natively; that says nothing about the test.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.contains("propagateSizeHints") || text.contains("XDG_RUNTIME_DIR"))
        return;
    qt_message_output(type, context, text);
}
}  // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(QuietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
