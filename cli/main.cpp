// kqbayes: runs one analysis of the library on a CSV file, as a settings file describes it.
//
//   kqbayes run SETTINGS.json DATA.csv [--json] [--skip-validation] [--threads N] [--quiet]
//               [--pmml FILE [--pmml-covariance]]
//   kqbayes score SETTINGS.json DATA.csv NEWDATA.csv [--json] [--skip-validation] [--threads N] [--quiet]
//   kqbayes keys [--markdown]

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <new>

#include "cli/Interrupt.h"
#include "cli/Runner.h"
#include "cli/Scorer.h"
#include "cli/SettingsReader.h"
#include "cli/Text.h"

int main(int argc, char** argv) {
  kqcli::RunOptions options;
  bool quiet = false;
  CLI::App app{"kqbayes: Bayesian analyses of a CSV data file, described by a JSON settings file"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "kqbayes 8.5.0");
  CLI::App* run = app.add_subcommand("run", "Run the analysis that SETTINGS describes on DATA");
  run->add_option("SETTINGS", options.settingsPath, "Settings file (a JSON object of BSNSettings fields)")
      ->required();
  run->add_option("DATA", options.dataPath, "Data file (CSV; the first row names the variables)")->required();
  run->add_flag("--json", options.json, "Write the result as one JSON object instead of tables");
  run->add_flag("--skip-validation", options.skipValidation,
                "Hand the settings to the library unscreened and unvalidated");
  run->add_option("--threads", options.threads, "Let the analysis use up to N threads")
      ->check(CLI::PositiveNumber);
  run->add_flag("--quiet", quiet, "No progress bar");
  run->add_option("--pmml", options.pmmlPath,
                  "Write the fitted model to FILE as a PMML document (Regression and Anova)");
  run->add_flag("--pmml-covariance", options.pmmlCovariance,
                "Put the parameters' inverse cross-product matrix (X'WX)^-1 into the PMML document")
      ->needs("--pmml");
  kqcli::ScoreOptions scoreOptions;
  CLI::App* score = app.add_subcommand(
      "score", "Fit the Regression or Anova model of SETTINGS on DATA and predict each record of NEWDATA");
  score
      ->add_option("SETTINGS", scoreOptions.fit.settingsPath,
                   "Settings file (a JSON object of BSNSettings fields)")
      ->required();
  score->add_option("DATA", scoreOptions.fit.dataPath, "Data file the model is fitted on (CSV)")->required();
  score
      ->add_option("NEWDATA", scoreOptions.newDataPath,
                   "Records to predict (CSV with the model's factor and covariate columns)")
      ->required();
  score->add_flag("--json", scoreOptions.fit.json,
                  "Write a JSON list of {mode, mean, variance, lower, upper} instead of CSV");
  score->add_flag("--skip-validation", scoreOptions.fit.skipValidation,
                  "Hand the settings to the library unscreened and unvalidated");
  score->add_option("--threads", scoreOptions.fit.threads, "Let the reading and the fit use up to N threads")
      ->check(CLI::PositiveNumber);
  score->add_flag("--quiet", quiet, "No progress bar");
  bool markdown = false;
  CLI::App* keys = app.add_subcommand("keys", "List the keys a settings file may hold");
  keys->add_flag(
      "--markdown", markdown,
      "Write the settings reference (kind of value, defaults, words, analyses) as a Markdown table");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help and version end the command successfully; every other parse problem is an input error.
    const int status = app.exit(e);
    return e.get_exit_code() == 0 ? status : kqcli::kExitInputError;
  }

  if (keys->parsed()) {
    if (markdown)
      std::cout << kqcli::SettingsReferenceMarkdown();
    else
      for (const std::string_view key : kqcli::SettingsKeys()) std::cout << key << '\n';
    return kqcli::kExitOK;
  }

  options.showProgress = !quiet && ::isatty(STDERR_FILENO) == 1;
  scoreOptions.fit.showProgress = options.showProgress;
  kqcli::InstallInterruptHandler();
  kqcli::InterruptQuery interrupt;
  try {
    if (score->parsed()) return kqcli::ScoreCommand(scoreOptions, std::cout, std::cerr, interrupt);
    return kqcli::RunCommand(options, std::cout, std::cerr, interrupt);
  } catch (const std::bad_alloc&) {
    std::cerr << "kqbayes: out of memory\n";
    return kqcli::kExitInputError;
  } catch (const std::exception& e) {
    // Nothing the library or the readers let out ends the command without a word.
    std::cerr << "kqbayes: internal error: " << kqcli::OneLine(e.what()) << "\n";
    return kqcli::kExitAnalysisError;
  }
}
