#include "Logging.h"

Q_LOGGING_CATEGORY(lcApp, "lirenta.app", QtInfoMsg)
Q_LOGGING_CATEGORY(lcStore, "lirenta.store", QtInfoMsg)
Q_LOGGING_CATEGORY(lcViews, "lirenta.views", QtInfoMsg)
Q_LOGGING_CATEGORY(lcDialogs, "lirenta.dialogs", QtInfoMsg)
Q_LOGGING_CATEGORY(lcNet, "lirenta.net", QtInfoMsg)
Q_LOGGING_CATEGORY(lcTools, "lirenta.tools", QtInfoMsg)
