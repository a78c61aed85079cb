#include "form_layout.h"

#include <algorithm>
#include <stdexcept>

namespace {

using K = ControlKind;

// clang-format off
const ControlLayout kForm[] = {
    // id            container   kind              caption                               left  top   width height enabled visible tab bold
    {kIdFrame1,      kIdWindow,  K::Frame,         " Procesos ",                          120,  120, 8895, 6735, true,  true,   0, true},
    {kIdFrame4,      kIdFrame1,  K::Frame,         "Proceso de Descarga",                 120,  240, 8655, 1815, true,  true,   9, false},
    {kIdFrame5,      kIdFrame1,  K::Frame,         " Proceso de Carga",                   120, 2160, 8655, 1695, true,  true,  15, false},
    {kIdFrame6,      kIdFrame1,  K::Frame,         "Origen y Destino de Ficheros .bd",    120, 3960, 8655, 1215, true,  true,  25, false},
    {kIdLabel5,      kIdFrame1,  K::Label,         "",                                    240, 5400, 5295,  255, true,  true,   4, true},
    {kIdLabel4,      kIdFrame1,  K::Label,         "",                                   5640, 5400, 3015,  255, true,  true,  32, true},
    {kIdFrame2,      kIdFrame1,  K::Frame,         "",                                    120, 5760, 8655,  855, true,  true,   1, false},
    {kIdCheck2,      kIdFrame4,  K::CheckBox,      "Descarga",                            120,  360, 1095,  255, true,  true,  11, false},
    {kIdLabel1,      kIdFrame4,  K::Label,         "Base de datos Origen",               1680,  360, 2175,  255, false, true,  14, false},
    {kIdText1,       kIdFrame4,  K::TextField,     "",                                   1680,  600, 6255,  285, false, true,  12, false},
    {kIdBuscar,      kIdFrame4,  K::PictureButton, "",                                   8040,  600,  375,  375, false, true,  10, false},
    {kIdLabel3_0,    kIdFrame4,  K::Label,         "Ruta  DLC",                           120, 1080,  855,  255, false, true,  13, false},
    {kIdText5,       kIdFrame4,  K::TextField,     "",                                   1680, 1080, 6255,  285, false, true,  20, false},
    {kIdBuscar1,     kIdFrame4,  K::PictureButton, "",                                   8040, 1080,  375,  375, false, true,  21, false},
    {kIdCheck3,      kIdFrame5,  K::CheckBox,      "Carga",                               120,  360, 1095,  255, true,  true,  17, false},
    {kIdLabel2,      kIdFrame5,  K::Label,         "Base de datos Destino",              1680,  360, 2175,  255, false, true,  19, false},
    {kIdText2,       kIdFrame5,  K::TextField,     "",                                   1680,  600, 6255,  285, false, true,  18, false},
    {kIdBuscar2,     kIdFrame5,  K::PictureButton, "",                                   8040,  600,  375,  375, false, true,  16, false},
    {kIdLabel3_2,    kIdFrame5,  K::Label,         "Ruta  DLC",                           120, 1080,  855,  255, false, true,  24, false},
    {kIdText6,       kIdFrame5,  K::TextField,     "",                                   1680, 1080, 6255,  285, false, true,  22, false},
    {kIdBuscar3,     kIdFrame5,  K::PictureButton, "",                                   8040, 1080,  375,  375, false, true,  23, false},
    {kIdLabel3_1,    kIdFrame6,  K::Label,         "Seleccione ruta",                     120,  360, 1575,  255, true,  true,  28, false},
    {kIdText4,       kIdFrame6,  K::TextField,     "",                                   1680,  360, 6255,  285, true,  true,  27, false},
    {kIdBuscar4,     kIdFrame6,  K::PictureButton, "",                                   8040,  360,  375,  375, true,  true,  26, false},
    {kIdCheck1,      kIdFrame6,  K::CheckBox,      "Procesar Transacciones",             1680,  840, 2295,  255, true,  true,  33, false},
    {kIdCheck4,      kIdFrame6,  K::CheckBox,      "Comprobar &registros",               4200,  840, 2295,  255, true,  true,  34, false},
    {kIdCheck5,      kIdFrame6,  K::CheckBox,      "Procesar en &paralelo",              6600,  840, 1935,  255, true,  true,  35, false},
    {kIdAceptar,     kIdFrame2,  K::Button,        "&Aceptar",                            240,  240, 1455,  495, true,  true,   2, false},
    {kIdCancelar,    kIdFrame2,  K::Button,        "&Cancelar",                          6960,  240, 1455,  495, true,  true,   3, false},
    // Between the buttons, hidden unless a run shows its progress.
    {kIdProgressBar1, kIdFrame2, K::ProgressBar,   "",                                   1815,  270, 5025,  225, true,  false, 36, false},
    {kIdLabel6,      kIdFrame2,  K::CentredLabel,  "",                                   1815,  510, 5025,  255, true,  false, 37, false},
    // The picker panel lies over the main panel, hidden until a folder button is clicked.
    {kIdFrame3,      kIdWindow,  K::Frame,         " Seleccione Directorio ",             120,  120, 8895, 6735, true,  false,  5, true},
    {kIdDrive1,      kIdFrame3,  K::DriveList,     "",                                    240,  360, 8295,  315, true,  true,   6, false},
    {kIdDir1,        kIdFrame3,  K::FolderList,    "",                                    240,  720, 8295, 4140, true,  true,   7, false},
    {kIdText3,       kIdFrame3,  K::TextField,     "",                                    240, 5040, 8295,  285, true,  true,   8, false},
    {kIdFrame7,      kIdFrame3,  K::Frame,         "",                                    240, 5400, 8295, 1095, true,  true,  29, false},
    {kIdSeleccion,   kIdFrame7,  K::Button,        "&Seleccion de Ruta",                  360,  360, 1695,  495, true,  true,  31, false},
    {kIdCancelar1,   kIdFrame7,  K::Button,        "&Cancelar",                          6120,  360, 1695,  495, true,  true,  30, false},
};

const ControlLayout kStatusLinesSideBySide[] = {
    {kIdLabel5,      kIdFrame1,  K::Label,         "",                                    240, 5190, 8415,  255, true,  true,   4, true},
    {kIdLabel4,      kIdFrame1,  K::Label,         "",                                    240, 5460, 8415,  255, true,  true,  32, true},
};
// clang-format on

} // namespace

std::span<const ControlLayout> FormLayout()
{
    return kForm;
}

std::span<const ControlLayout> StatusLinesSideBySide()
{
    return kStatusLinesSideBySide;
}

const ControlLayout& LayoutOf(ControlId id)
{
    for (const ControlLayout& control : kForm) {
        if (control.id == id)
            return control;
    }
    throw std::out_of_range("unknown control");
}

bool CanTakeFocus(ControlKind kind)
{
    return kind != ControlKind::Frame && kind != ControlKind::Label && kind != ControlKind::CentredLabel &&
           kind != ControlKind::ProgressBar;
}

std::vector<ControlId> FocusOrder()
{
    std::vector<ControlLayout> controls;
    for (const ControlLayout& control : kForm) {
        if (CanTakeFocus(control.kind))
            controls.push_back(control);
    }
    std::sort(controls.begin(), controls.end(),
              [](const ControlLayout& a, const ControlLayout& b) { return a.tabIndex < b.tabIndex; });
    std::vector<ControlId> order;
    for (const ControlLayout& control : controls)
        order.push_back(control.id);
    return order;
}

int TwipsToPixels(int twips, int dpi)
{
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : (scaled - 720) / 1440);
}
