# Writes the example data sets of the kqbayes command from R's own copies of them (package datasets).
#   Rscript examples/data/make-data.R    (run from the repository's top folder)

# Student (1908), the sleep data: extra hours of sleep of ten patients under each of two drugs.
# One row per patient: both drugs, and the difference that Student tested.
x <- with(datasets::sleep, extra[group == 1])
y <- with(datasets::sleep, extra[group == 2])
ids <- with(datasets::sleep, ID[group == 1])
write.csv(data.frame(patient = as.integer(ids), drug1 = x, drug2 = y, difference = y - x),
          "examples/data/sleep.csv", row.names = FALSE)

# Michelson (1879), the speed of light: 100 measurements in km/s minus 299000, five experiments of 20 runs.
write.csv(datasets::morley, "examples/data/morley.csv", row.names = FALSE)

# Beall (1942), insect counts on 12 plots for each of six sprays A to F, one column per spray.
counts <- with(datasets::InsectSprays, split(count, spray))
write.csv(as.data.frame(counts), "examples/data/insectsprays.csv", row.names = FALSE)

# The Titanic's 2201 passengers and crew by sex and survival, with the number of people in each cell.
titanic <- as.data.frame(as.table(apply(datasets::Titanic, c(2, 4), sum)))
names(titanic) <- c("Sex", "Survived", "People")
write.csv(titanic, "examples/data/titanic.csv", row.names = FALSE)

# Henderson and Velleman (1981), Motor Trend road tests of 32 cars of 1973-74 (the car names left out):
# fuel consumption (mpg), weight and the transmission am (0 automatic, 1 manual) among eleven measures.
# The last column codes the number of cylinders as the categories of a factor: 0, 1, 2 for 4, 6, 8.
write.csv(cbind(datasets::mtcars, cyl_code = match(datasets::mtcars$cyl, c(4, 6, 8)) - 1),
          "examples/data/mtcars.csv", row.names = FALSE)

# Snee (1974): hair and eye colour of 592 statistics students (R's HairEyeColor summed over sex), one
# row per cell with the number of students in it.
haireye <- as.data.frame(as.table(apply(datasets::HairEyeColor, c(1, 2), sum)))
names(haireye) <- c("Hair", "Eye", "Students")
write.csv(haireye, "examples/data/haireye.csv", row.names = FALSE)

# Fisher (1936) and Anderson (1935): four measures (cm) of 50 flowers of each of three iris species, the
# species as text (setosa, versicolor, virginica, in that order).
write.csv(datasets::iris, "examples/data/iris.csv", row.names = FALSE)
