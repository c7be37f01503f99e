// Words for the port checks' facts.
#include "session/port_texts.h"

#include "vocab/error_text.h"

namespace {

std::string Holder(const PortStatus& status)
{
    if (status.holder.empty())
        return "outro programa";
    return status.holder + " (pid " + std::to_string(status.pid) + ")";
}

// What to do about a refusal: join the group, or ask the one who may change the device.
std::string PermissionAdvice(const PortStatus& status)
{
    if (status.group.empty())
        return "pe\347a acesso ao administrador";
    if (status.groupMayOpen)
        return "entre no grupo " + status.group;
    return "nem o grupo " + status.group + " pode abrir a porta; pe\347a ao administrador";
}

}  // namespace

std::string PortStateText(const PortStatus& status)
{
    switch (status.state) {
    case PortState::kFree:
        return "livre";
    case PortState::kNoPermission:
        return "sem permiss\xE3o (" + PermissionAdvice(status) + ")";
    case PortState::kInUse:
        return "em uso por " + Holder(status);
    case PortState::kNotSerial:
        return "n\xE3o \xE9 uma porta serial";
    case PortState::kGone:
        return "n\xE3o encontrada (verifique o cabo e o adaptador)";
    case PortState::kNoDevice:
        return "sem dispositivo (o sistema n\xE3o achou a UART)";
    case PortState::kOpenError:
        break;
    }
    return "erro ao abrir (" + std::to_string(status.error) + ")";
}

std::string PortStateLabel(PortState state)
{
    switch (state) {
    case PortState::kFree:
        return "livre";
    case PortState::kNoPermission:
        return "sem permiss\xE3o";
    case PortState::kInUse:
        return "em uso";
    case PortState::kNotSerial:
        return "n\xE3o serial";
    case PortState::kGone:
        return "n\xE3o encontrada";
    case PortState::kNoDevice:
        return "sem dispositivo";
    case PortState::kOpenError:
        break;
    }
    return "erro ao abrir";
}

std::string OpenFailureText(const PortStatus& status)
{
    std::string text = std::string(kPortNotOpenedText) + " (" + std::to_string(status.error) + ")";
    switch (status.state) {
    case PortState::kNoPermission:
        return text + " Sem permiss\xE3o: " + PermissionAdvice(status) + ".";
    case PortState::kInUse:
        return text + " Em uso por " + Holder(status) + ".";
    case PortState::kNotSerial:
        return text + " N\xE3o \xE9 uma porta serial.";
    case PortState::kGone:
        return text + " Porta n\xE3o encontrada: verifique o cabo e o adaptador.";
    case PortState::kNoDevice:
        return text + " Sem dispositivo: o sistema n\xE3o achou a UART desta porta.";
    case PortState::kFree:
    case PortState::kOpenError:
        break;
    }
    return text;
}

std::string Counted(size_t count, const std::string& one, const std::string& many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}
