#pragma once

#include <QUuid>

// A random (version 4) UUID for an id that lives no longer than the process,
// as an application's id in one catalogue does. It comes from Qt's global
// generator, seeded once from the system, where QUuid::createUuid() asks the
// system for each one: a microsecond apiece, which a catalogue of thousands
// pays at every scan and every cached start. Stored ids use createUuid().
[[nodiscard]] QUuid sessionUuid();
