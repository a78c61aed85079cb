#pragma once

// Identifiers of the main window's controls. The tests and the demo driver
// find the controls by these, so they never change meaning.
enum ControlId : int {
    kIdWindow = 0,  // the window itself, as a container
    kIdFrame1 = 1001,
    kIdFrame2,
    kIdFrame3,
    kIdFrame4,
    kIdFrame5,
    kIdFrame6,
    kIdFrame7,
    kIdLabel1,
    kIdLabel2,
    kIdLabel3_0,
    kIdLabel3_1,
    kIdLabel3_2,
    kIdLabel4,
    kIdLabel5,
    kIdText1,
    kIdText2,
    kIdText3,
    kIdText4,
    kIdText5,
    kIdText6,
    kIdCheck1,
    kIdCheck2,
    kIdCheck3,
    kIdBuscar,
    kIdBuscar1,
    kIdBuscar2,
    kIdBuscar3,
    kIdBuscar4,
    kIdAceptar,
    kIdCancelar,
    kIdDrive1,
    kIdDir1,
    kIdSeleccion,
    kIdCancelar1,
    kIdCheck4,
    kIdCheck5,
    kIdProgressBar1,
    kIdLabel6,
};

// The progress indicator's timer.
const int kIdTimer1 = 1;

// The main window's class name, for finding it from another process.
#define VACIALLENA_WINDOW_CLASS L"frmVaciallena"
