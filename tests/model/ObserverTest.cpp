#include "model/Observer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Probe : Observer {
    explicit Probe(std::vector<int>* log, int id) : m_log(log), m_id(id) {}
    void Update(Observer*, std::intptr_t) override { m_log->push_back(m_id); }
    std::vector<int>* m_log;
    int m_id;
};

struct Subject : Observer {};

TEST(Observer, NotifyWithoutObserversDoesNothing)
{
    Subject s;
    s.Notify(0);
    s.Detach(&s);
    EXPECT_EQ(s.ObserverCount(), 0);
}

TEST(Observer, DuplicateAttachGetsTwoUpdatesAndOneDetachRemovesOne)
{
    std::vector<int> log;
    Subject s;
    Probe a(&log, 1);
    a.Observe(&s);
    a.Observe(&s);
    s.Notify(0);
    EXPECT_EQ(log, (std::vector<int>{1, 1}));
    s.Detach(&a);
    log.clear();
    s.Notify(0);
    EXPECT_EQ(log, (std::vector<int>{1}));
}

// Detaching the head, a middle node, the tail or the only node keeps the others in order.
struct DetachCase {
    int count;
    int detached;
};

class ObserverDetach : public ::testing::TestWithParam<DetachCase> {};

TEST_P(ObserverDetach, KeepsRemainingOrder)
{
    const auto [count, detached] = GetParam();
    std::vector<int> log;
    Subject s;
    std::vector<std::unique_ptr<Probe>> probes;
    for (int i = 0; i < count; ++i) {
        probes.push_back(std::make_unique<Probe>(&log, i));
        s.Attach(probes.back().get());
    }
    s.Detach(probes[detached].get());
    s.Notify(0);
    std::vector<int> expected;
    for (int i = 0; i < count; ++i)
        if (i != detached)
            expected.push_back(i);
    EXPECT_EQ(log, expected);
    // The list still appends at its tail after the detach.
    s.Attach(probes[detached].get());
    log.clear();
    s.Notify(0);
    expected.push_back(detached);
    EXPECT_EQ(log, expected);
}

INSTANTIATE_TEST_SUITE_P(Positions, ObserverDetach,
                         ::testing::Values(DetachCase{4, 0}, DetachCase{4, 1}, DetachCase{4, 2},
                                           DetachCase{4, 3}, DetachCase{1, 0}));

struct Attacher : Observer {
    Attacher(Observer* subject, Observer* late) : m_subject(subject), m_late(late) {}
    void Update(Observer*, std::intptr_t) override
    {
        if (m_late) {
            m_subject->Attach(m_late);
            m_late = nullptr;
        }
    }
    Observer* m_subject;
    Observer* m_late;
};

TEST(Observer, ObserversAttachedDuringNotifyAreReachedInTheSameWalk)
{
    std::vector<int> log;
    Subject s;
    Probe late(&log, 9);
    Attacher first(&s, &late);
    s.Attach(&first);
    s.Notify(0);
    EXPECT_EQ(log, (std::vector<int>{9}));
}

} // namespace
