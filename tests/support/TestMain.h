#pragma once

#include <QObject>

#include <functional>
#include <memory>

// Each subsystem's tests are one executable holding several test classes; a
// class joins it with QUORLIN_TEST(Class) at the end of its file, and the
// shared main() runs them all in one application. QUORLIN_TEST_CLASS picks one
// class by name, e.g. while working on it.
using TestFactory = std::function<std::unique_ptr<QObject>()>;

bool registerTest(TestFactory factory);

#define QUORLIN_TEST(Class)                                                                        \
    [[maybe_unused]] static const bool Class##Registered =                                         \
        registerTest([] { return std::unique_ptr<QObject>(new Class); });
