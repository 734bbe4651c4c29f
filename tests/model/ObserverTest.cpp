#include "model/Observer.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

struct Probe : Observer {
    explicit Probe(std::vector<int>* log, int id) : m_log(log), m_id(id) {}
    void Update(Observer*, std::intptr_t) override { m_log->push_back(m_id); }
    std::vector<int>* m_log;
    int m_id;
};

// Detaching the head, a middle node, the tail or the only node keeps the others in order,
// and the list still appends at its tail afterwards.
TEST(Observer, DetachKeepsTheRemainingOrder)
{
    for (auto [count, detached] : {std::pair{4, 0}, {4, 2}, {4, 3}, {1, 0}}) {
        std::vector<int> log;
        Observer s;
        std::vector<std::unique_ptr<Probe>> probes;
        for (int i = 0; i < count; ++i) {
            probes.push_back(std::make_unique<Probe>(&log, i));
            s.Attach(probes.back().get());
        }
        s.Detach(probes[detached].get());
        s.Attach(probes[detached].get());
        s.Notify(0);
        std::vector<int> expected;
        for (int i = 0; i < count; ++i)
            if (i != detached)
                expected.push_back(i);
        expected.push_back(detached);
        EXPECT_EQ(log, expected) << count << " " << detached;
    }
}

struct Attacher : Observer {
    Attacher(Observer* subject, Observer* late) : m_subject(subject), m_late(late) {}
    void Update(Observer*, std::intptr_t) override
    {
        if (m_late)
            m_subject->Attach(std::exchange(m_late, nullptr));
    }
    Observer* m_subject;
    Observer* m_late;
};

// A subject nobody has observed yet notifies and detaches safely; an observer attached twice
// gets two updates until one detach; one attached during a notification is reached in the
// same walk.
TEST(Observer, DuplicatesAndObserversAttachedDuringNotify)
{
    std::vector<int> log;
    Observer s;
    Probe a(&log, 1), late(&log, 9);
    s.Notify(0);
    s.Detach(&a);
    EXPECT_EQ(s.ObserverCount(), 0);
    a.Observe(&s);
    a.Observe(&s);
    Attacher attacher(&s, &late);
    s.Attach(&attacher);
    s.Notify(0);
    EXPECT_EQ(log, (std::vector<int>{1, 1, 9}));
    s.Detach(&a);
    log.clear();
    s.Notify(0);
    EXPECT_EQ(log, (std::vector<int>{1, 9}));
}

} // namespace
