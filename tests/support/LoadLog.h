#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gamedata/PersonLoader.h"

namespace vondrel {

// A load sink that keeps everything it is told, in order; for tools and checks that run
// the loader without a window.
class LoadLog : public LoadSink {
  public:
    enum class Kind { Begin, Advance, Message, Image, Log };
    struct Event {
        Kind kind;
        int number = 0;    // maximum or amount
        std::string text;  // message or image key
        std::optional<Bytes> portrait;
        bool operator==(const Event&) const = default;
    };

    std::vector<Event> events;

    void begin(int maximum) override { events.push_back({Kind::Begin, maximum, {}, {}}); }
    void advance(int amount) override { events.push_back({Kind::Advance, amount, {}, {}}); }
    void message(const std::string& s) override { events.push_back({Kind::Message, 0, s, {}}); }
    void log(const std::string& text) override { events.push_back({Kind::Log, 0, text, {}}); }
    void image(const std::string& key, const std::optional<Bytes>& portrait) override {
        events.push_back({Kind::Image, 0, key, portrait});
    }

    std::vector<std::string> texts(Kind kind) const {
        std::vector<std::string> out;
        for (const Event& e : events)
            if (e.kind == kind)
                out.push_back(e.text);
        return out;
    }
};

}  // namespace vondrel
