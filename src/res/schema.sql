-- The household book. Column positions matter: readers address columns by
-- position as well as by name. 编号 values are never reused (AUTOINCREMENT),
-- and rowid order is the order rows were added, which the category lists rely on.

-- The entry tables of the income and the expense side come first: their names, columns and
-- date indexes are made from src/data/BookSide.h, where each side of the book is described.

CREATE TABLE tbUser (
    编号 INTEGER PRIMARY KEY AUTOINCREMENT,
    user TEXT UNIQUE COLLATE NOCASE,  -- names match without regard to case, as Jet compared text
    password TEXT
);

-- The category tables the base-data dialog offers, in the order it shows them.
CREATE TABLE baseData (
    类型 TEXT UNIQUE
);

CREATE TABLE 家庭成员 (
    编号 INTEGER PRIMARY KEY AUTOINCREMENT,
    类型 TEXT UNIQUE COLLATE NOCASE,
    备注 TEXT
);

CREATE TABLE 收入类型 (
    编号 INTEGER PRIMARY KEY AUTOINCREMENT,
    类型 TEXT UNIQUE COLLATE NOCASE,
    备注 TEXT
);

CREATE TABLE 支出类型 (
    编号 INTEGER PRIMARY KEY AUTOINCREMENT,
    类型 TEXT UNIQUE COLLATE NOCASE,
    备注 TEXT
);

INSERT INTO baseData (类型) VALUES ('家庭成员'), ('收入类型'), ('支出类型');

-- tbUser.password holds a salted hash; the administrator "root" is added with the hash of
-- the default password when a book is created.

INSERT INTO 家庭成员 (类型) VALUES ('爸爸'), ('妈妈'), ('孩子');

INSERT INTO 收入类型 (类型) VALUES
    ('工资'), ('奖金'), ('理财收益'), ('兼职收入'), ('礼金'), ('其他收入');

INSERT INTO 支出类型 (类型) VALUES
    ('餐饮'), ('交通'), ('住房'), ('水电燃气'), ('通讯'), ('教育'), ('医疗'),
    ('服饰'), ('日用品'), ('娱乐'), ('人情往来'), ('其他支出');
