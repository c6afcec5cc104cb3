// A 10,000-row listing laid out and written to PDF.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/report/Engine.h"
#include "platform/report/QuickRpt.h"
#include "platform/report/Render.h"

using namespace tv::report;

namespace {

class Rows : public ReportData {
 public:
  explicit Rows(int n) : n_(n) {}
  void First() override { i_ = 0; }
  void Next() override { ++i_; }
  bool Eof() override { return i_ >= n_; }
  bool Field(const std::string& name, ExprValue& out) override {
    if (name == "cuenta") out = ExprValue::Str("11" + std::to_string(1000 + i_ / 50));
    else if (name == "detalle") out = ExprValue::Str("Pago de servicios públicos, factura Nº " + std::to_string(i_));
    else if (name == "debito") out = ExprValue::Num(1000.5 + i_);
    else return false;
    return true;
  }

 private:
  int n_, i_ = 0;
};

struct Listing {
  TComponent form{nullptr};
  Rows rows{10000};
  TQuickRep* rep = new TQuickRep(&form);

  TQRBand* Band(TQRBandType t, int h) {
    auto* b = new TQRBand(&form);
    b->Parent = rep;
    b->BandType = t;
    b->Height = h;
    return b;
  }
  template <class T>
  T* Put(TQRCustomBand* b, int left, int width) {
    auto* e = new T(&form);
    e->Parent = b;
    e->Left = left;
    e->Width = width;
    return e;
  }

  Listing() {
    rep->SetReportData(&rows);
    TQRBand* header = Band(rbPageHeader, 40);
    Put<TQRLabel>(header, 0, 300)->Caption = "LIBRO AUXILIAR";
    Put<TQRSysData>(header, 600, 80)->Text = "Página: ";
    auto* group = new TQRGroup(&form);
    group->Parent = rep;
    group->Height = 18;
    group->Expression = "cuenta";
    Put<TQRDBText>(group, 0, 100)->DataField = "cuenta";
    TQRBand* detail = Band(rbDetail, 16);
    Put<TQRDBText>(detail, 0, 70)->DataField = "cuenta";
    Put<TQRDBText>(detail, 80, 400)->DataField = "detalle";
    auto* amount = Put<TQRDBText>(detail, 500, 120);
    amount->DataField = "debito";
    amount->Alignment = taRightJustify;
    TQRBand* footer = Band(rbGroupFooter, 18);
    group->FooterBand = footer;
    auto* sum = Put<TQRDBCalc>(footer, 500, 120);
    sum->DataField = "debito";
    sum->Alignment = taRightJustify;
    TQRBand* summary = Band(rbSummary, 20);
    Put<TQRLabel>(summary, 80, 100)->Caption = "TOTALES:";
    auto* total = Put<TQRDBCalc>(summary, 500, 120);
    total->DataField = "debito";
    total->Alignment = taRightJustify;
    Put<TQRLabel>(Band(rbPageFooter, 20), 0, 200)->Caption = "Pie de página";
  }
};

void BM_Listing10000ToPdf(benchmark::State& state) {
  Listing l;
  std::string path = "/tmp/report_bench_" + std::to_string(::getpid()) + ".pdf";
  for (auto _ : state) {
    l.rep->Prepare();
    SavePdf(l.rep->Prepared(), path);
  }
  state.counters["pages"] = l.rep->QRPrinter->PageCount;
  std::remove(path.c_str());
}
BENCHMARK(BM_Listing10000ToPdf)->Unit(benchmark::kMillisecond);

void BM_Listing10000Layout(benchmark::State& state) {
  Listing l;
  for (auto _ : state) l.rep->Prepare();
}
BENCHMARK(BM_Listing10000Layout)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
