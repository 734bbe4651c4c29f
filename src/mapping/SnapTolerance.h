#pragma once

// The pick tolerance in force for snapping, in image pixels, shared by the whole process.
// Outside snapping it is the machine epsilon; the tool manager raises it to the event's
// tolerance while it asks its snap checks, and never below the machine epsilon.
class SnapTolerance {
public:
    // The smallest power of two that no longer changes 1.0 when added to it, found once.
    static double MachineEpsilon();
    static double Current();
    // Sets the tolerance, held at the machine epsilon or above (NaN gives the epsilon).
    static void Set(double tolerance);

    // Puts a tolerance in force for its lifetime and restores the previous one after.
    class Scope {
    public:
        explicit Scope(double tolerance);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        double m_previous;
    };
};
