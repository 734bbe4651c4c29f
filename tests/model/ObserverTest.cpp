#include "model/Observer.h"

#include <gtest/gtest.h>

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

// Detaching the head, a middle node or the tail keeps the others in order.
class ObserverDetach : public ::testing::TestWithParam<int> {};

TEST_P(ObserverDetach, KeepsRemainingOrder)
{
    std::vector<int> log;
    Subject s;
    Probe p0(&log, 0), p1(&log, 1), p2(&log, 2), p3(&log, 3);
    Probe* all[] = {&p0, &p1, &p2, &p3};
    for (Probe* p : all)
        s.Attach(p);
    s.Detach(all[GetParam()]);
    s.Notify(0);
    std::vector<int> expected;
    for (int i = 0; i < 4; ++i)
        if (i != GetParam())
            expected.push_back(i);
    EXPECT_EQ(log, expected);
    // The list still appends at its tail after the detach.
    s.Attach(all[GetParam()]);
    log.clear();
    s.Notify(0);
    expected.push_back(GetParam());
    EXPECT_EQ(log, expected);
}

INSTANTIATE_TEST_SUITE_P(Positions, ObserverDetach, ::testing::Values(0, 1, 2, 3));

TEST(Observer, DetachLastLeavesAnEmptyList)
{
    std::vector<int> log;
    Subject s;
    Probe a(&log, 1);
    s.Attach(&a);
    s.Detach(&a);
    s.Notify(0);
    EXPECT_TRUE(log.empty());
    s.Attach(&a);
    s.Notify(0);
    EXPECT_EQ(log.size(), 1u);
}

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

TEST(Observer, HintPassesThrough)
{
    struct HintProbe : Observer {
        void Update(Observer* subject, std::intptr_t hint) override
        {
            m_subject = subject;
            m_hint = hint;
        }
        Observer* m_subject = nullptr;
        std::intptr_t m_hint = -1;
    } probe;
    Subject s;
    s.Attach(&probe);
    s.Notify(DataHint());
    EXPECT_EQ(probe.m_subject, &s);
    EXPECT_EQ(*reinterpret_cast<const std::int32_t*>(probe.m_hint), 0);
}

} // namespace
