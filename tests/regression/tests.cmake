add_kq_test(regression BSNMultipleRegrFactor)
add_kq_test(regression BSNMultipleRegr)
add_kq_test(regression MultiRegScore)
add_kq_test(regression MultiRegPmmlExport)
find_package(pugixml REQUIRED)
# Reads exported documents back with XPath.
target_link_libraries(regression_MultiRegPmmlExport_test PRIVATE pugixml::pugixml)
add_kq_test(regression BSNAnova)
