#pragma once

// The Qt modules the tests drive, whole. The test programs share one precompiled copy of this
// header, so a test names only the project's own headers it uses.
#include <QtNetwork>
#include <QtSql>
#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <memory>
