# The command's tests link its library; the end-to-end tests run the built program on the examples
# and on bad input.
foreach(name CsvReader SettingsReader JsonWriter Evidence DataPreparation ProgressBar RecordRegistry Runner Command Text)
  add_kq_test(cli ${name})
  target_link_libraries(cli_${name}_test PRIVATE kqcli)
endforeach()
target_compile_definitions(cli_Command_test PRIVATE KQBAYES_PROGRAM="$<TARGET_FILE:kqbayes>"
                                                   KQ_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_dependencies(cli_Command_test kqbayes)
