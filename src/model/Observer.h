#pragma once

#include <cstdint>

// The one change-notification mechanism: every Observer can be observed (it keeps the
// observers attached to it and notifies them in order) and can observe (subjects call
// its Update). The hint passes through unchanged; the data model passes a pointer to a
// 32-bit word 0.
//
// An observer must not be detached (nor detach itself) from inside its own Update;
// observers attached during a notification are reached in the same walk. An observer
// detaches itself from the subjects it observes before it is destroyed.
class Observer {
public:
    Observer() = default;
    Observer(const Observer&) = delete;
    Observer& operator=(const Observer&) = delete;
    // Frees the observer list; does not detach from the subjects this object observes.
    virtual ~Observer();

    virtual void Update(Observer* subject, std::intptr_t hint);
    // Attaches this object to the subject.
    virtual void Observe(Observer* subject);
    // Appends at the tail; attaching twice means two updates per notification.
    virtual void Attach(Observer* observer);
    // Removes the first entry of the observer; nothing when it is not attached.
    virtual void Detach(Observer* observer);
    // Calls Update(this, hint) on every attached observer, head to tail.
    virtual void Notify(std::intptr_t hint);

    // Number of attached entries (duplicates counted).
    int ObserverCount() const;

private:
    struct Node {
        Node* next;
        Node* prev;
        Observer* observer;
    };
    struct List {
        Node* head = nullptr;
        Node* tail = nullptr;
    };
    List* m_list = nullptr;
};

// The hint word the data model notifies with: a pointer to a 32-bit 0.
std::intptr_t DataHint();
