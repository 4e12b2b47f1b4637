// The creatable class GO: properties that fill the SessionContext and Show,
// which completes it from the host's database and opens a category dialog.
#pragma once

#include "plugin/component/honora.h"

namespace honora {

class GO final : public IGO, public ISessionReport {
public:
    std::vector<std::pair<std::string, std::string>> SessionValues() const override;
    std::filesystem::path LogFile() const override;

    void Show(int16_t Index, std::shared_ptr<kado::dao::Recordset>& Rechnung, int32_t hWndMDI) override;
    void Aktualisieren() override {}

    kado::com::Variant GetFlurstücksnummer() const override;
    void LetFlurstücksnummer(const kado::com::Variant& v) override;
    kado::com::Variant GetFläche() const override;
    void LetFläche(const kado::com::Variant& v) override;
    kado::com::Variant GetBodenwert() const override;
    void LetBodenwert(const kado::com::Variant& v) override;
    kado::com::Variant GetLage() const override;
    void LetLage(const kado::com::Variant& v) override;
    kado::com::Variant GetBaukosten() const override;
    void LetBaukosten(const kado::com::Variant& v) override;
    kado::com::Variant GetAchslänge() const override;
    void LetAchslänge(const kado::com::Variant& v) override;
    kado::com::Variant GetGrenzlänge() const override;
    void LetGrenzlänge(const kado::com::Variant& v) override;
    kado::com::Variant GetFlurstücke() const override;
    void LetFlurstücke(const kado::com::Variant& v) override;
    kado::com::Variant GetAnzahlGrenzpunkte() const override;
    void LetAnzahlGrenzpunkte(const kado::com::Variant& v) override;
    kado::com::Variant GetDoc() const override;
    void LetDoc(const kado::com::Variant& v) override;
    kado::com::Variant GetID_Benutzer() const override;
    void LetID_Benutzer(const kado::com::Variant& v) override;
    kado::com::Variant GetNeueAbfrage() const override;
    void LetNeueAbfrage(const kado::com::Variant& v) override;
    std::string GetDatenbankPfad() const override;
    void LetDatenbankPfad(const std::string& v) override;
    std::shared_ptr<kado::dao::Workspace> GetKadoWorkspace() const override;
    void LetKadoWorkspace(const kado::com::Variant& v) override;
};

// A new GO; every GO shares the one SessionContext.
std::shared_ptr<IGO> CreateGO();

// GO for "honora.GO", nullptr for any other ProgID.
std::shared_ptr<IGO> CreateObject(const char* progId);

}  // namespace honora
