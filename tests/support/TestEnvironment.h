#pragma once

#include <QTemporaryDir>

// Gives a test process its own HOME, XDG folders and settings, so nothing touches the
// user's. Must exist before the application object.
class TestEnvironment
{
public:
    TestEnvironment();
    QString root() const { return dir.path(); }
    QString home() const;
    // Writes a file, making its folder as needed; returns its path, or nothing on failure.
    static QString writeFile(const QString& path, const QByteArray& content = QByteArray());

private:
    QTemporaryDir dir;
};

// main() for a test class: the environment first, then the application, then the tests.
#define LIRENTA_TEST_MAIN(TestClass)                                                                                   \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        TestEnvironment environment;                                                                                   \
        QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                                        \
        QApplication app(argc, argv);                                                                                  \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
