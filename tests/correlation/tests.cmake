add_kq_test(correlation CorrelationFactors)
add_kq_test(correlation BSNPearsonCorrelation)
# End to end through the program: degenerate and extreme data, and the --threads option.
add_kq_test(correlation CorrelationCommand LABELS slow)
target_link_libraries(correlation_CorrelationCommand_test PRIVATE kqcli)
target_compile_definitions(correlation_CorrelationCommand_test PRIVATE KQBAYES_PROGRAM="$<TARGET_FILE:kqbayes>")
add_dependencies(correlation_CorrelationCommand_test kqbayes)
