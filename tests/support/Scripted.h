#pragma once

// Scripted stand-ins for the platform services: every answer is set up front and every
// call is recorded, so tests can drive start-up and the handlers without a desktop.

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/FolderPicker.h"
#include "platform/ListChooser.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"
#include "platform/RunningGame.h"
#include "platform/SettingsStore.h"

namespace vondrel {

class ScriptedRegistry : public Registry {
  public:
    std::map<std::pair<std::string, std::string>, RegistryValue> values;
    // Prefix replaced by toLocalPath, e.g. {"C:\\", "/wine/drive_c/"}.
    std::vector<std::pair<std::string, std::string>> pathMap;

    void setString(const std::string& subkey, const std::string& name, const std::string& v) {
        values[{subkey, name}] = {RegistryType::String, v};
    }
    std::optional<RegistryValue> read(std::string_view subkey, std::string_view name) override {
        const auto it = values.find({std::string(subkey), std::string(name)});
        return it == values.end() ? std::nullopt : std::optional(it->second);
    }
    std::string toLocalPath(std::string_view path) const override {
        for (const auto& [from, to] : pathMap) {
            if (path.substr(0, from.size()) == from)
                return to + std::string(path.substr(from.size()));
        }
        return std::string(path);
    }
};

class ScriptedSettings : public SettingsStore {
  public:
    std::map<std::tuple<std::string, std::string, std::string>, std::string> values;
    std::vector<std::tuple<std::string, std::string, std::string, std::string>> writes;
    // When set, every write fails with this reason (and stores nothing).
    std::string writeFailure;

    std::string read(std::string_view app, std::string_view section, std::string_view key,
                     std::string_view def) override {
        auto it = values.find({std::string(app), std::string(section), std::string(key)});
        return it == values.end() ? std::string(def) : it->second;
    }
    std::string write(std::string_view app, std::string_view section, std::string_view key,
                      std::string_view value) override {
        if (!writeFailure.empty())
            return writeFailure;
        values[{std::string(app), std::string(section), std::string(key)}] = value;
        writes.emplace_back(app, section, key, value);
        return {};
    }
};

class ScriptedFolderPicker : public FolderPicker {
  public:
    // Each call takes the next answer; nothing (cancel) once they run out.
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> titles;
    // The start folder and the hint of each call.
    std::vector<std::pair<std::string, std::string>> starts;

    std::optional<std::string> pickFolder(std::string_view title, std::string_view startFolder,
                                          std::string_view hint) override {
        titles.emplace_back(title);
        starts.emplace_back(startFolder, hint);
        if (answers.empty())
            return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

class ScriptedMessageBoxes : public MessageBoxes {
  public:
    struct Shown {
        std::string text;
        MessageIcon icon;
        MessageButtons buttons;
    };
    // Answers for the boxes that ask something (Yes/No, Retry/Cancel), in order. Once they
    // run out a question is answered with its second button (No, Cancel), the choice that
    // changes nothing. OK boxes take no answer from the queue.
    std::deque<MessageAnswer> answers;
    std::vector<Shown> shown;

    MessageAnswer show(std::string_view text, MessageIcon icon, MessageButtons buttons) override {
        shown.push_back({std::string(text), icon, buttons});
        if (buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        if (answers.empty())
            return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
        const MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
};

class ScriptedRunningGame : public RunningGame {
  public:
    bool running = false;
    bool isRunning() override { return running; }
};

class ScriptedListChooser : public ListChooser {
  public:
    // The answer to every question; nothing: cancelled.
    std::optional<std::size_t> answer;
    std::vector<std::vector<std::string>> offered;

    std::optional<std::size_t> choose(const std::string&,
                                      const std::vector<std::string>& items) override {
        offered.push_back(items);
        return answer;
    }
};

}  // namespace vondrel
