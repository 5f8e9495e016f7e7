add_kq_test(loglinear BSNContingency)
add_kq_test(loglinear BSNLogLinBayesFactor)
add_kq_test(loglinear BSNLogLinear)
