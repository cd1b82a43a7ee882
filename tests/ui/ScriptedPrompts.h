#pragma once

#include "document/Prompts.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <deque>
#include <vector>

// Prompts answered from a script written before the command runs: each
// question takes the next answer, each file dialog the next file name (an
// empty name cancels it). Every prompt shown is recorded. A prompt that the
// script did not expect fails the test and is cancelled.
class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Question, Open, Save, Error, Folder, Name };
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
    // The name typed for askName ("" cancels).
    ScriptedPrompts& typeName(const QString& name) {
        script_.push_back({Kind::Name, Answer::Cancel, name});
        return *this;
    }
    ScriptedPrompts& folderName(const QString& path) {
        script_.push_back({Kind::Folder, Answer::Cancel, path});
        return *this;
    }
    // `filter`: the file type picked in the dialog.
    ScriptedPrompts& saveName(const QString& path, int filter = 0) {
        script_.push_back({Kind::Save, Answer::Cancel, path, filter});
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
    QString folderName(const FileDialogRequest& request) override {
        shown.push_back({Kind::Folder, QString(), request});
        const Step step = next(Kind::Folder);
        return step.kind == Kind::Folder ? step.path : QString();
    }
    // A two-way question takes a question's answer: Yes for the action.
    bool confirm(const QString& text, const QString& action) override {
        confirmActions.push_back(action);
        return question(text) == Answer::Yes;
    }
    SaveChoice saveFile(const FileDialogRequest& request) override {
        shown.push_back({Kind::Save, QString(), request});
        const Step step = next(Kind::Save);
        return step.kind == Kind::Save ? SaveChoice{step.path, step.filter} : SaveChoice{};
    }
    QString askName(const QString& text, const QString& proposed) override {
        shown.push_back({Kind::Name, text, {}});
        proposedNames << proposed;
        const Step step = next(Kind::Name);
        return step.kind == Kind::Name ? step.path : QString();
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
        static const char* names[] = {"question", "open", "save", "error", "folder", "name"};
        std::string out;
        for (const Shown& s : shown) out += (out.empty() ? "" : ", ") + std::string(names[static_cast<int>(s.kind)]);
        return out;
    }

    std::vector<Shown> shown;
    QStringList confirmActions;  // the action of each two-way question
    QStringList proposedNames;   // what each name question started from

private:
    struct Step {
        Kind kind;
        Answer answer;
        QString path;
        int filter = 0;
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
