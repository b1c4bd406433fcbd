#pragma once

#include <QByteArray>

// The maintenance page's picture, 600 × 600, as JPEG of quality 90: a figure
// holding up a sign that says "САЙТ НА РЕКОНСТРУКЦІЇ". Drawn once, without fonts
// (a service without a display has none), so the letters are of dots.
QByteArray MaintenancePictureJpeg();
