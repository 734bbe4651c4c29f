// Compiled only by the layering test: the model layer reaching up to the tasks layer must not
// find the header.
#include "tasks/PlotData.h"
