#pragma once

#include "web/framework/controls.h"

#include <QString>

// What every page of the front end shares: the home button, the "Вихід" link, the
// footer label with the product's name, and the pages' style sheet.
namespace PageChrome {

// IWImageButton1: releases its page; the main page beneath shows again.
void SetUpHomeButton(WebImageButton &button);
// IWLink1: ends the session with the farewell message.
void SetUpExitLink(WebLink &link);
// IWLabel1: the product's name; its asynchronous click opens the product's site
// (SAIT_PROGRAMY), and without one it is plain text.
void SetUpFooterLabel(WebLabel &label);

QString StyleSheet();

}  // namespace PageChrome
