#pragma once
// The framework's exception classes. Every exception the program raises or
// catches derives from Exception and carries a message for the user.
#include <QString>
#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(QString message = {}) : Message(std::move(message)), utf8(Message.toUtf8()) {}
    const char* what() const noexcept override { return utf8.constData(); }
    QString Message;
private:
    QByteArray utf8;
};

// A text that is not a number where one was needed (StrToInt, StrToFloat).
class EConvertError : public Exception { using Exception::Exception; };
// Any failure of the database layer; the message is the engine's own.
class EDatabaseError : public Exception { using Exception::Exception; };
// FieldByName for a name that is not a column of the result.
class EFieldNotFound : public EDatabaseError { using EDatabaseError::EDatabaseError; };
// A failed web request that has no OnRequestError handler to go to.
class ENetHTTPException : public Exception { using Exception::Exception; };
// An index outside a list (regular-expression matches and the like).
class EListError : public Exception { using Exception::Exception; };
// A picture that cannot be decoded.
class EImageError : public Exception { using Exception::Exception; };
