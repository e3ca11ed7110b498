// The server's handling of scripts in the stand-in: attaching them to objects, their
// timers on the stand-in's clock, and their destruction when they ask for it or their
// object goes. Scripts are reached only through their raw tables (standin/script_slots.h).
#include "standin/script_slots.h"
#include "standin/world.h"

#include <algorithm>

namespace standin {

void World::Attach_Script(ServerObject object, const char* name, const char* parameters) {
    Attach_Requests.push_back({object, name ? name : "", parameters ? parameters : ""});
    if (!Is_Live(object) || !name || !create_script_)
        return;
    ScriptClass* script = create_script_(name);
    if (!script) {
        ++Refused_Attaches;
        return;
    }
    Script_Parse_Parameters(script, parameters);
    Script_Bind_Owner(script, object);
    Attach_Observer(object, script);
    Script_Notify_Created(script, object);
}

void World::Start_Timer(ServerObject object, ScriptClass* observer, float seconds, int32_t number) {
    Timer_Starts.push_back({object, observer, seconds, number});
    if (!Is_Live(object) || !observer)
        return;
    timers_.push_back({clock_ + seconds, timer_order_++, object, observer, number});
}

void World::Advance_Clock(double seconds) {
    clock_ += seconds;
    std::vector<Timer> due;
    for (const Timer& timer : timers_)
        if (timer.Due <= clock_)
            due.push_back(timer);
    std::sort(due.begin(), due.end(), [](const Timer& a, const Timer& b) {
        return a.Due != b.Due ? a.Due < b.Due : a.Order < b.Order;
    });
    for (const Timer& timer : due) {
        // A timer dropped by an earlier notification of this step (its object or
        // script destroyed) does not fire.
        auto pending = std::find_if(timers_.begin(), timers_.end(),
                                    [&](const Timer& t) { return t.Order == timer.Order; });
        if (pending == timers_.end())
            continue;
        timers_.erase(pending);
        Script_Notify_Timer(timer.Observer, timer.Object, timer.Number);
        if (After_Timer)
            After_Timer(timer.Object);
    }
    // The end of the server's frame: removed charges go, with their scripts.
    std::vector<ServerObject> removed;
    removed.swap(to_destroy_);
    for (ServerObject object : removed)
        Destroy_Object(object);
    Destroy_Requested_Scripts();
}

void World::Drop_Timers(ServerObject object, ScriptClass* observer) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [&](const Timer& t) {
                                     return (object && t.Object == object) ||
                                            (observer && t.Observer == observer);
                                 }),
                  timers_.end());
}

void World::Request_Destroy(ScriptClass* script) {
    Destroy_Requests.push_back(script);
    if (script && std::find(destroy_requested_.begin(), destroy_requested_.end(), script) ==
                      destroy_requested_.end())
        destroy_requested_.push_back(script);
}

void World::Destroy_Requested_Scripts() {
    while (!destroy_requested_.empty()) {
        ScriptClass* script = destroy_requested_.front();
        destroy_requested_.pop_front();
        Detach_Script(script);
        Drop_Timers(nullptr, script);
        Destroyed_Scripts.push_back(script);
        Script_Destroy(script, Destroy_Free_Block);
    }
}

void World::Destroy_Object(ServerObject object) {
    ObjectInfo& info = Info(object);
    if (info.Destroyed)
        return;
    info.Destroyed = true;
    Drop_Timers(object, nullptr);
    const std::vector<ScriptClass*> scripts = info.Scripts;
    for (ScriptClass* script : scripts)
        Script_Unbind_Owner(script);
    Destroy_Requested_Scripts();
    // A script that did not ask to be destroyed is no longer the object's, and is left
    // to whoever holds it: the allocator's accounting shows it.
    for (ScriptClass* script : info.Scripts) {
        Drop_Timers(nullptr, script);
        std::vector<ObjectInfo*>& holders = script_holders_[script];
        holders.erase(std::remove(holders.begin(), holders.end(), &info), holders.end());
    }
    info.Observers.clear();
    info.Observer_Names.clear();
    info.Scripts.clear();
    Refresh_Observers(info);
    Kill(object);
    Unlist(object);
    to_destroy_.erase(std::remove(to_destroy_.begin(), to_destroy_.end(), object),
                      to_destroy_.end());
}

void World::Destroy_All_Objects() {
    for (size_t i = 0; i < objects_.size(); ++i)
        if (!objects_[i]->Destroyed)
            Destroy_Object(reinterpret_cast<ServerObject>(objects_[i]->Object));
    Destroy_Requested_Scripts();
}

void Attach_Script(ServerObject object, const char* name, const char* parameters) {
    if (World* world = World::Current())
        world->Attach_Script(object, name, parameters);
}

void Start_Timer(ServerObject object, ScriptClass* observer, float seconds, int number) {
    if (World* world = World::Current())
        world->Start_Timer(object, observer, seconds, number);
}

void Request_Destroy(ScriptClass* script) {
    if (World* world = World::Current())
        world->Request_Destroy(script);
}

} // namespace standin
