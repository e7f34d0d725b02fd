#include "TestMain.h"

#include <QGuiApplication>
#include <QtPlugin>
#include <QtQml/qqmlextensionplugin.h>
#include <QTest>

#include <vector>

Q_IMPORT_QML_PLUGIN(QuorlinPlugin)

namespace {

std::vector<TestFactory>& factories() {
    static std::vector<TestFactory> all;
    return all;
}

} // namespace

bool registerTest(TestFactory factory) {
    factories().push_back(std::move(factory));
    return true;
}

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QByteArray only = qgetenv("QUORLIN_TEST_CLASS");
    int failures = 0;
    for (const TestFactory& factory : factories()) {
        const std::unique_ptr<QObject> test = factory();
        if (!only.isEmpty() && only != test->metaObject()->className())
            continue;
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
