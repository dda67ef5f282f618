// What a screen reader is told about the main window: the radio buttons as
// radio buttons inside their captioned group, each parameter box by the
// caption beside it, each gain cell by where it lies on the map, and each
// live value by what it shows, with the shown text as its value.
#pragma once

namespace korvane {

class Field;
class MainView;
class TFrm_Mapping;

// Lets Qt describe the window's radio buttons and named labels through the
// interfaces of this file. Qt keeps the first interface it builds for a
// widget, so this runs before the window's widgets are made.
void installAccessibleInterfaces();

// Names the controls of the window shown by `view`.
void nameForListeners(TFrm_Mapping& window, const MainView& view);

// After the text of `field` changed: when it is an axis label, renames the
// gain cells it borders.
void followAxisLabel(TFrm_Mapping& window, const MainView& view, const Field& field);

}  // namespace korvane
