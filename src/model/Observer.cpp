#include "model/Observer.h"

Observer::~Observer()
{
    if (!m_list)
        return;
    Node* n = m_list->head;
    while (n) {
        Node* next = n->next;
        delete n;
        n = next;
    }
    delete m_list;
}

void Observer::Update(Observer*, std::intptr_t)
{
}

void Observer::Observe(Observer* subject)
{
    if (subject)
        subject->Attach(this);
}

void Observer::Attach(Observer* observer)
{
    if (!m_list)
        m_list = new List;
    Node* n = new Node{nullptr, m_list->tail, observer};
    if (m_list->tail)
        m_list->tail->next = n;
    else
        m_list->head = n;
    m_list->tail = n;
}

void Observer::Detach(Observer* observer)
{
    if (!m_list)
        return;
    Node* n = m_list->head;
    while (n && n->observer != observer)
        n = n->next;
    if (!n)
        return;
    if (n->prev)
        n->prev->next = n->next;
    else
        m_list->head = n->next;
    if (n->next)
        n->next->prev = n->prev;
    else
        m_list->tail = n->prev;
    delete n;
}

void Observer::Notify(std::intptr_t hint)
{
    if (!m_list)
        return;
    for (Node* n = m_list->head; n;) {
        n->observer->Update(this, hint);
        n = n->next;
    }
}

int Observer::ObserverCount() const
{
    int count = 0;
    if (m_list)
        for (Node* n = m_list->head; n; n = n->next)
            ++count;
    return count;
}

std::intptr_t DataHint()
{
    static const std::int32_t zero = 0;
    return reinterpret_cast<std::intptr_t>(&zero);
}
