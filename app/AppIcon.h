#pragma once

#include <QIcon>

// The program icon: a flash card with a loudspeaker.
QIcon AppIcon();
