// SPDX-License-Identifier: MIT
// The voice through Windows' own speech engine (SAPI).
#include "motorevoce.h"

#include <initguid.h>
#include <windows.h>
#include <sapi.h>

namespace {

// Italian is language 0x410 in the voices' "Language" attribute.
constexpr const wchar_t *SoloItaliano = L"Language=410";

template <typename T>
struct Com {
    T *p = nullptr;
    Com() = default;
    Com(const Com &) = delete;
    Com &operator=(const Com &) = delete;
    ~Com()
    {
        if (p)
            p->Release();
    }
    T **operator&() { return &p; }
    T *operator->() const { return p; }
};

class MotoreSapi final : public MotoreVoce
{
public:
    MotoreSapi(ISpVoice *voce, bool comAperto) : m_voce(voce), m_comAperto(comAperto) {}
    ~MotoreSapi() override
    {
        m_voce->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
        m_voce->Release();
        if (m_comAperto)
            CoUninitialize();
    }

    void di(const QString &testo) override
    {
        // Asynchronous, and the purge drops whatever the previous number was still saying.
        m_voce->Speak(reinterpret_cast<LPCWSTR>(testo.utf16()),
                      SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_NOT_XML, nullptr);
    }

private:
    ISpVoice *m_voce;
    bool m_comAperto;
};

} // namespace

std::unique_ptr<MotoreVoce> creaMotoreVoce(QString &motivo, std::function<void(const QString &)> /*guasto*/)
{
    // This thread is the voice's own: it enters COM here and leaves with the engine.
    const bool comAperto = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    const auto rinuncia = [&](const QString &testo) -> std::unique_ptr<MotoreVoce> {
        motivo = testo;
        if (comAperto)
            CoUninitialize();
        return nullptr;
    };

    ISpVoice *voce = nullptr;
    if (FAILED(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice, reinterpret_cast<void **>(&voce))))
        return rinuncia(QString::fromUtf8(TestiVoce::SenzaMotore) + QStringLiteral(" (SAPI)."));
    {
        Com<ISpObjectTokenCategory> categoria;
        Com<IEnumSpObjectTokens> elenco;
        Com<ISpObjectToken> scelta;
        ULONG quante = 0;
        if (FAILED(CoCreateInstance(CLSID_SpObjectTokenCategory, nullptr, CLSCTX_ALL, IID_ISpObjectTokenCategory,
                                    reinterpret_cast<void **>(&categoria)))
            || FAILED(categoria->SetId(SPCAT_VOICES, FALSE))
            || FAILED(categoria->EnumTokens(SoloItaliano, nullptr, &elenco)) || FAILED(elenco->GetCount(&quante))
            || quante == 0 || FAILED(elenco->Item(0, &scelta)) || FAILED(voce->SetVoice(scelta.p))) {
            voce->Release();
            return rinuncia(QString::fromUtf8(TestiVoce::SenzaItaliano));
        }
    }
    return std::make_unique<MotoreSapi>(voce, comAperto);
}
