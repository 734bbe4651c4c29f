#include "mapping/SnapTolerance.h"

namespace {
double ComputeEpsilon()
{
    volatile double eps = 1.0;
    volatile double sum = 1.0 + eps;
    while (sum != 1.0) {
        eps = eps / 2.0;
        sum = 1.0 + eps;
    }
    return eps;
}

double& CurrentTolerance()
{
    static double tolerance = SnapTolerance::MachineEpsilon();
    return tolerance;
}
} // namespace

double SnapTolerance::MachineEpsilon()
{
    static const double eps = ComputeEpsilon();
    return eps;
}

double SnapTolerance::Current()
{
    return CurrentTolerance();
}

void SnapTolerance::Set(double tolerance)
{
    const double eps = MachineEpsilon();
    CurrentTolerance() = tolerance >= eps ? tolerance : eps;
}

SnapTolerance::Scope::Scope(double tolerance) : m_previous(Current())
{
    Set(tolerance);
}

SnapTolerance::Scope::~Scope()
{
    CurrentTolerance() = m_previous;
}
