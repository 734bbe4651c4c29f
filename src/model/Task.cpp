#include "model/Task.h"

const std::string& Task::GetName() const
{
    static const std::string empty;
    return empty;
}
