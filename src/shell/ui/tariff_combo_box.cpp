#include "shell/ui/tariff_combo_box.h"

void TariffComboBox::showPopup()
{
    if (onDropDown && !onDropDown())
        return;
    QComboBox::showPopup();
}
