// Questions with scripted answers, recorded for tests.
#pragma once

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/questions.h"

namespace tw {

class FakeQuestions : public Questions {
 public:
  // Answers given in order; once they run out, every question gets
  // `unscriptedAnswer`.
  void Answer(bool yes) { answers_.push_back(yes); }
  bool Ask(Question kind, const std::string& text) override {
    asked.emplace_back(kind, text);
    if (answers_.empty()) return unscriptedAnswer;
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
  }

  std::vector<std::pair<Question, std::string>> asked;
  bool unscriptedAnswer = false;

 private:
  std::deque<bool> answers_;
};

}  // namespace tw
