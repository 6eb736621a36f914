#pragma once
#include <QString>
#include <stdexcept>

// Programming errors and failures that reach the message loop carry a German message.
class EKalnoError : public std::runtime_error {
 public:
  explicit EKalnoError(const QString& message)
      : std::runtime_error(message.toStdString()), message_(message) {}
  const QString& Message() const { return message_; }

 private:
  QString message_;
};
