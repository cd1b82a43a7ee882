#pragma once

#include "Prompts.h"

#include <QString>

#include <gtest/gtest.h>

#include <deque>
#include <vector>

// Prompts answered from a script written before the command runs: each
// question takes the next answer, each file dialog the next file name (an
// empty name cancels it). Every prompt shown is recorded. A prompt that the
// script did not expect fails the test and is cancelled.
class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Question, Open, Save, Error };
    struct Shown {
        Kind kind;
        QString text;               // question and error text
        FileDialogRequest request;  // file dialogs
    };

    ScriptedPrompts& answer(Answer a) {
        script_.push_back({Kind::Question, a, {}});
        return *this;
    }
    ScriptedPrompts& openName(const QString& path) {
        script_.push_back({Kind::Open, Answer::Cancel, path});
        return *this;
    }
    ScriptedPrompts& saveName(const QString& path) {
        script_.push_back({Kind::Save, Answer::Cancel, path});
        return *this;
    }

    Answer question(const QString& text) override {
        shown.push_back({Kind::Question, text, {}});
        const Step step = next(Kind::Question);
        return step.kind == Kind::Question ? step.answer : Answer::Cancel;
    }
    QString openFileName(const FileDialogRequest& request) override {
        shown.push_back({Kind::Open, QString(), request});
        const Step step = next(Kind::Open);
        return step.kind == Kind::Open ? step.path : QString();
    }
    QString saveFileName(const FileDialogRequest& request) override {
        shown.push_back({Kind::Save, QString(), request});
        const Step step = next(Kind::Save);
        return step.kind == Kind::Save ? step.path : QString();
    }
    void error(const QString& text) override { shown.push_back({Kind::Error, text, {}}); }

    size_t unused() const { return script_.size(); }
    int count(Kind kind) const {
        int n = 0;
        for (const Shown& s : shown) n += s.kind == kind ? 1 : 0;
        return n;
    }
    // The kinds shown, in order: "question, save, error".
    std::string sequence() const {
        static const char* names[] = {"question", "open", "save", "error"};
        std::string out;
        for (const Shown& s : shown) out += (out.empty() ? "" : ", ") + std::string(names[static_cast<int>(s.kind)]);
        return out;
    }

    std::vector<Shown> shown;

private:
    struct Step {
        Kind kind;
        Answer answer;
        QString path;
    };

    Step next(Kind wanted) {
        if (script_.empty() || script_.front().kind != wanted) {
            ADD_FAILURE() << "unexpected prompt: " << sequence();
            return {Kind::Error, Answer::Cancel, {}};
        }
        const Step step = script_.front();
        script_.pop_front();
        return step;
    }

    std::deque<Step> script_;
};
