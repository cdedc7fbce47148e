#pragma once
// The main window's form, status bar and timers as the native tests see them:
// every state the window logic sets is kept, and timers run on a virtual
// clock that the test advances.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/MainWindow.h"

class FakeStatusBar : public TSimpleStatusBar {
public:
    static constexpr TColor kParentColor = 0xFFFFFF;  // the form is white

    const std::string& SimpleText() const override { return text; }
    void SetSimpleText(const std::string& t) override {
        text = t;
        texts.push_back(t);
    }
    TColor Color() const override { return parentColor ? kParentColor : color; }
    void SetColor(TColor c) override {
        color = c;
        parentColor = false;
        colors.push_back(c);
    }
    bool ParentColor() const override { return parentColor; }
    void SetParentColor(bool p) override { parentColor = p; }

    std::string text;
    std::vector<std::string> texts;  // every text set, in order
    TColor color = 0;
    bool parentColor = true;
    std::vector<TColor> colors;  // every colour set, in order
};

class FakeForm : public TNetworkViewerForm {
public:
    std::string Caption() override { return caption; }
    void SetCaption(const std::string& c) override { caption = c; }
    void SetInfoText(const std::string& t) override { infoText = t; }
    void SetInfoPanelVisible(bool v) override { infoPanelVisible = v; }
    void SetActionPanelVisible(bool v) override { actionPanelVisible = v; }
    void SetActionCaption(const std::string& t) override { actionCaption = t; }
    // Answers with the next scripted answer (nullopt: Cancel); Cancel when
    // none is left.
    bool InputQuery(const std::string& c, const std::string& p, std::string& value) override {
        queries.push_back({c, p, value});
        if (answers.empty() || !answers.front()) {
            if (!answers.empty()) answers.pop_front();
            return false;
        }
        value = *answers.front();
        answers.pop_front();
        return true;
    }
    TCursor ScreenCursor() override { return cursor; }
    void SetScreenCursor(TCursor c) override {
        cursor = c;
        cursorHistory.push_back(c);
    }
    void ProcessMessages() override {
        ++processMessagesCalls;
        if (onProcessMessages) onProcessMessages();
    }
    void ShowError(const std::string& text) override { errors.push_back(text); }
    void ShowAboutBox() override { ++aboutBoxes; }
    // The next scripted answer; No when none is left.
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        const bool yes = !yesNo.empty() && yesNo.front();
        if (!yesNo.empty()) yesNo.pop_front();
        return yes;
    }
    // The next scripted account (nullopt: Cancel); Cancel when none is left.
    std::optional<TLogon> PromptLogon(const std::string& machine, const std::string& user,
                                      const std::string& failure) override {
        logonPrompts.push_back({machine, user, failure});
        std::optional<Account> account;
        if (!logons.empty()) {
            account = logons.front();
            logons.pop_front();
        }
        if (!account) return std::nullopt;
        return TLogon{account->user, platform::Secret(account->password)};
    }

    std::string caption = "Network View";
    std::string infoText = "unset";
    bool infoPanelVisible = true;
    bool actionPanelVisible = false;
    std::string actionCaption;
    struct Query {
        std::string caption, prompt, initial;
    };
    std::vector<Query> queries;
    std::deque<std::optional<std::string>> answers;
    TCursor cursor = crDefault;
    std::vector<TCursor> cursorHistory;
    int processMessagesCalls = 0;
    std::function<void()> onProcessMessages;
    std::vector<std::string> errors;
    int aboutBoxes = 0;
    std::vector<std::string> questions;
    std::deque<bool> yesNo;
    struct LogonPrompt {
        std::string machine, user, failure;
        bool operator==(const LogonPrompt&) const = default;
    };
    std::vector<LogonPrompt> logonPrompts;
    struct Account {
        std::string user, password;
    };
    std::deque<std::optional<Account>> logons;
};

// Timers on a virtual clock: Advance runs every period that ends within the
// given time, in order.
class FakeTimers : public TimerBackend {
public:
    void StartTimer(TTimer& timer) override {
        due_[&timer] = now_ + timer.Interval();
        ++starts;
    }
    void StopTimer(TTimer& timer) override { due_.erase(&timer); }
    long long Now() const { return now_; }

    void Advance(long long ms) {
        const long long until = now_ + ms;
        for (;;) {
            TTimer* next = nullptr;
            long long when = until + 1;
            for (auto& [t, d] : due_)
                if (d < when) next = t, when = d;
            if (next == nullptr) break;
            now_ = when;
            due_[next] = when + next->Interval();
            next->Fire();
        }
        now_ = until;
    }

    int starts = 0;

private:
    long long now_ = 0;
    std::map<TTimer*, long long> due_;
};
