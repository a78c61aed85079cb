#pragma once

// Resource identifiers, shared by the resource script and the program.
#define IDI_VACIALLENA 1
#define IDI_FOLDER 2
